#include "ui/data/vlData.h"

TvlDataController::TvlDataController(IvlDataControllerOwner* AOwner) : TvlCustomDataController(AOwner) {}
