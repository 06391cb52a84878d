// The data-view engine and the view definitions of every page.
