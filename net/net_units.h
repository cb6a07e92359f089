// The network units: FTP and UDP (file transfers and short messages), and Arduino boards over
// UDP and serial ports.
#pragma once

class FunctionUnit;

FunctionUnit& FtpUnit();
FunctionUnit& ArduinoUnit();
