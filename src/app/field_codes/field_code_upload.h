// F2F conv (and the "/F2F" start-up job): the office's field-to-finish
// code table (".FLD") converted into the collector's ".FCL" beside it and
// sent into the collector's current folder. The ".FCL" stays on the PC.
#pragma once

#include "app/panes/panes_controller.h"

namespace pelikon {

// Checks the link, asks for the ".FLD" through the panes' Ui, converts it
// and sends the table, asking first when the collector's folder lists it
// already (and Confirm Overwrite is on). Returns 1 when the table went up.
int RunFieldCodeUpload(PanesController& panes);

}  // namespace pelikon
