#pragma once

#include "data/data_block.h"

class QComboBox;

/// Shows `count` records as "data record 1" … in the chooser. When the count changed the list
/// grows or shrinks to it and the newest record is selected; otherwise it and the user's choice
/// stay.
void showRecordCount(QComboBox &chooser, int count);
