#include "ServiceLog.h"

Q_LOGGING_CATEGORY(lcReadingService, "reading.service", QtInfoMsg)
