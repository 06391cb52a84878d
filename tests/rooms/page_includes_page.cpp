// A notebook source that reaches into the address book: the build must refuse it.
#include "pagekit/page.h"
#include "addressbook/addressbookpage.h"
