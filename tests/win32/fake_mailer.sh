#!/bin/sh
# The mail program that Wine's browser helper starts for a "mailto:" address in the tests: it
# writes the address where the test program looks for it, C:\vantrel-mailto.txt.
printf '%s' "$1" > "$WINEPREFIX/drive_c/vantrel-mailto.txt"
