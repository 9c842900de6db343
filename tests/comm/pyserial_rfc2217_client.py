# pyserial's RFC 2217 client against a served simulated terminal: opens the
# port with both lines off at 2400 baud, gives the read signalling (DTR on,
# then RTS on and DTR off) and prints the first byte the terminal answers.
# Exit 0 when a byte came, 1 when none came, 2 when the port did not open.
import sys

import serial

# pyserial gives up on a server that takes more than 3 s to answer an
# option or a line change (its network timeout); a loaded machine can hold
# the test's server that long. The limits here only end a test that fails.
url = "rfc2217://127.0.0.1:%s?timeout=60" % sys.argv[1]
port = serial.serial_for_url(url, baudrate=2400, timeout=60, do_not_open=True)
port.dtr = False
port.rts = False
try:
    port.open()
except serial.SerialException as error:
    print("open failed: %s" % error)
    sys.exit(2)
port.dtr = True
port.rts = True
port.dtr = False
answer = port.read(1)
port.rts = False
port.close()
print("answer %s" % answer.hex())
sys.exit(0 if answer else 1)
