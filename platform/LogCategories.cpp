#include "platform/LogCategories.h"

Q_LOGGING_CATEGORY(lcDiag, "halvex.diag", QtWarningMsg)
Q_LOGGING_CATEGORY(lcPage, "halvex.page", QtWarningMsg)
Q_LOGGING_CATEGORY(lcAv, "halvex.libav", QtWarningMsg)
