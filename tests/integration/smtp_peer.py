#!/usr/bin/python3
"""A real SMTP server on loopback for the mail tests (Debian's python3-aiosmtpd).

usage: smtp_peer.py STATE_DIR [--login USER:PASSWORD] [--refuse RCPT] [--tls] [--refuse-tls]
                    [--smtputf8]
  --tls         offers STARTTLS, with a certificate made for 127.0.0.1 and written to
                STATE_DIR/cert.pem for the client to trust; a login then needs TLS
  --refuse-tls  offers STARTTLS in its EHLO reply, then answers it with 454
  --smtputf8    offers SMTPUTF8
Writes the port it listens on to STATE_DIR/port, each message it accepts to STATE_DIR/N.json
(sender, recipients, MAIL FROM options, whether the session was encrypted, and the data), and
each login to STATE_DIR/logins with "tls" or "clear". Ends by itself after 120 seconds.
"""
import base64, json, os, socket, ssl, subprocess, sys, time

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

state = sys.argv[1]
login = None
refuse = set()
offer_tls = refuse_tls = smtputf8 = False
args = sys.argv[2:]
while args:
    if args[0] == "--login":
        login = args[1].split(":", 1)
        args = args[2:]
    elif args[0] == "--refuse":
        refuse.add(args[1].lower())
        args = args[2:]
    elif args[0] == "--tls":
        offer_tls = True
        args = args[1:]
    elif args[0] == "--refuse-tls":
        refuse_tls = True
        args = args[1:]
    elif args[0] == "--smtputf8":
        smtputf8 = True
        args = args[1:]
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
                       "mail_options": envelope.mail_options,
                       "tls": session.ssl is not None,
                       "data": base64.b64encode(envelope.original_content).decode()}, f)
        return "250 Message accepted"


def authenticate(server, session, envelope, mechanism, auth_data):
    ok = isinstance(auth_data, LoginPassword) and login is not None and \
        [auth_data.login.decode(), auth_data.password.decode()] == login
    with open(os.path.join(state, "logins"), "a") as f:
        f.write("%s %s %s\n" % (mechanism, "ok" if ok else "refused",
                                "tls" if session.ssl is not None else "clear"))
    return AuthResult(success=ok)


def tls_context():
    cert, key = os.path.join(state, "cert.pem"), os.path.join(state, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-keyout", key, "-out", cert, "-subj", "/CN=127.0.0.1",
                    "-addext", "subjectAltName=IP:127.0.0.1"], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(cert, key)
    return context


class RefusingSMTP(SMTP):
    async def smtp_STARTTLS(self, arg):
        await self.push("454 4.7.0 TLS not available due to temporary reason")


class Peer(Controller):
    def factory(self):
        if refuse_tls:
            return RefusingSMTP(self.handler, **self.SMTP_kwargs)
        return SMTP(self.handler, **self.SMTP_kwargs)


with socket.socket() as s:
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]

kwargs = {"enable_SMTPUTF8": smtputf8}
if offer_tls or refuse_tls:
    kwargs["tls_context"] = tls_context()
if login is not None:
    kwargs.update(authenticator=authenticate, auth_require_tls=offer_tls)
controller = Peer(Handler(), hostname="127.0.0.1", port=port, **kwargs)
controller.start()
with open(os.path.join(state, "port.tmp"), "w") as f:
    f.write(str(port))
os.rename(os.path.join(state, "port.tmp"), os.path.join(state, "port"))
time.sleep(120)
controller.stop()
