#include "ui/grid/vlGridTableView.h"
