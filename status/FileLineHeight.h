#pragma once

namespace korva {

// Height in pixels of the file-name line (lbl_NC_File_Name): 20 at 96 pixels per inch, scaled to the
// screen's density and rounded to nearest with ties to even (15 at 72, 30 at 144). A density that is
// not a positive finite number counts as 96.
int FileLineHeightPixels(double dpi);

} // namespace korva
