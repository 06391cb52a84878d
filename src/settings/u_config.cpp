#include "settings/u_config.h"

u_config::u_config(QWidget *parent)
    : QWidget(parent)
{
    constructor();
}

void u_config::constructor()
{
    m_options = GeneralOptions::load();
}
