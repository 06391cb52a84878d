#include "ledger/u_account.h"

u_account::u_account(QWidget *parent)
    : Page(parent)
{
}
