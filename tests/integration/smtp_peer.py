#!/usr/bin/python3
"""A real SMTP server on loopback for the mail tests (Debian's python3-aiosmtpd).

usage: smtp_peer.py STATE_DIR [--login USER:PASSWORD] [--refuse RCPT]
Writes the port it listens on to STATE_DIR/port, each message it accepts to STATE_DIR/N.json,
and each login to STATE_DIR/logins. Ends by itself after 120 seconds.
"""
import asyncio, base64, json, os, socket, sys, threading, time

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword

state = sys.argv[1]
login = None
refuse = set()
args = sys.argv[2:]
while args:
    if args[0] == "--login":
        login = args[1].split(":", 1)
        args = args[2:]
    elif args[0] == "--refuse":
        refuse.add(args[1].lower())
        args = args[2:]
    else:
        sys.exit("unknown argument " + args[0])


class Handler:
    count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower() in refuse:
            return "550 no such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        Handler.count += 1
        with open(os.path.join(state, "%d.json" % Handler.count), "w") as f:
            json.dump({"from": envelope.mail_from, "to": envelope.rcpt_tos,
                       "data": base64.b64encode(envelope.original_content).decode()}, f)
        return "250 Message accepted"


def authenticate(server, session, envelope, mechanism, auth_data):
    ok = isinstance(auth_data, LoginPassword) and login is not None and \
        [auth_data.login.decode(), auth_data.password.decode()] == login
    with open(os.path.join(state, "logins"), "a") as f:
        f.write("%s %s\n" % (mechanism, "ok" if ok else "refused"))
    return AuthResult(success=ok)


with socket.socket() as s:
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]

kwargs = {}
if login is not None:
    kwargs = dict(authenticator=authenticate, auth_require_tls=False)
controller = Controller(Handler(), hostname="127.0.0.1", port=port, **kwargs)
controller.start()
with open(os.path.join(state, "port.tmp"), "w") as f:
    f.write(str(port))
os.rename(os.path.join(state, "port.tmp"), os.path.join(state, "port"))
time.sleep(120)
controller.stop()
