// A core source that reaches up into a page: the build must refuse it.
#include "platform/services.h"
#include "ledger/ledgerpage.h"
