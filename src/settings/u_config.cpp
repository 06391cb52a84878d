#include "settings/u_config.h"

u_config::u_config(QWidget *parent)
    : Page(parent)
{
    constructor();
}

void u_config::constructor()
{
    m_options = GeneralOptions::load();
}
