// Port configuration: the link settings with their time-out policy, and the complete device records.
#ifndef SENSLINK_PORTCONFIG_H
#define SENSLINK_PORTCONFIG_H

#include "senslink.h"

namespace senslink {

int getPortConfig(int port, int *timeoutMs, int *baud);
int configPort(int port, int timeoutMs, int baud);
int getCompleteComConfig(int port, DCB *dcb, COMMTIMEOUTS *timeouts, COMMPROP *prop);
int setCompleteComConfig(int port, const DCB &dcb, const COMMTIMEOUTS &timeouts, int inQueue, int outQueue);
// The DTR pulse: DTR inactive for 300 ms, then active and at once inactive again. 0, -1, -2, -3.
int systemReset(int port);

} // namespace senslink

#endif
