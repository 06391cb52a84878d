// A notebook source that includes only what lies below it.
#include "app/connection.h"
#include "notebook/u_notepro.h"
#include "pagekit/grouptree.h"
#include "platform/services.h"
#include "views/dataview.h"
#include "widgets/handletree.h"
#include <QString>
