// vlGridTableView.h - the grid's table view: rows of records, one column per
// item, with its option and style sets, rows and view data.
#pragma once
#include "ui/grid/vlGridCustomTableView.h"

class TvlGridColumn;
class TvlGridTableView;

// ---- table view options and styles ------------------------------------------------------


// ---- columns ----------------------------------------------------------------------------


// ---- rows and table view data -----------------------------------------------------------


// ---- the table view ---------------------------------------------------------------------

