#pragma once

#include <string_view>

#include "simulator/multiviewer_device.h"

namespace kvx {

// What became of one line of front-panel input.
enum class FrontPanelResult { Done, Refused, Unknown };

// One front-panel action of a multiviewer, written as a line of text (numbers in decimal, codes in hex):
//   layout CODE                    the layout
//   source WINDOW INPUT            a window's input (an output's, in switcher mode)
//   umd INPUT ON                   a label's switch; input 0 is the all-labels switch
//   colour CODE INDEX COLOUR       one of the six colour codes (3b 3c 3d 3e 54 55); index 0 is all
//   signal WINDOW PRESENT FORMAT   the signal at a window, windows counted from 0
//   defaults                       the factory settings
//   request CODE BYTE...           the change that the request with this code and payload (hex) makes,
//                                  e.g. "request 5d 00": Format Status off
// Each is applied and reported to the PC as the device's own front-panel change. Refused for values out of
// range, Unknown for anything else.
FrontPanelResult applyFrontPanelCommand(MultiviewerDevice& device, std::string_view line);

}  // namespace kvx
