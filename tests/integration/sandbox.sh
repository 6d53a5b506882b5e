# Sourced by the scripts that start the real program: a private folder for everything it writes,
# removed at exit, and the real X server rather than the offscreen one.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run XDG_DATA_HOME=$work/share
mkdir -p "$XDG_RUNTIME_DIR" "$work/data" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
