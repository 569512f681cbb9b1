// vlGridCustomTableView.h - the base of every view that shows records made of
// items: its data controller and item data binding, records and their view
// data, items with their options and styles, the view's option and style
// sets, and the view itself.
#pragma once
#include "ui/grid/vlGridCustomView.h"

class TvlGridDataController;
class TvlCustomGridRecord;
class TvlCustomGridTableItem;
class TvlCustomGridTableView;
class TvlCustomGridTableViewData;

// ---- view options and styles -----------------------------------------------------------


// ---- items, their options and styles ---------------------------------------------------


// ---- data controller and item data binding ---------------------------------------------


// ---- records and record view data ------------------------------------------------------


// ---- the custom table view ---------------------------------------------------------------

