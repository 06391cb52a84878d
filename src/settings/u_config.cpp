#include "settings/u_config.h"

u_config::u_config(QWidget *parent)
    : QWidget(parent)
{
}
