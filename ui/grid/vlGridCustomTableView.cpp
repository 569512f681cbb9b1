#include "ui/grid/vlGridCustomTableView.h"
