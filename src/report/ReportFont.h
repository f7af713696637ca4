#pragma once

class QFont;

namespace qlm {

// The report's fixed-pitch font: "Courier New", or the metric-compatible Liberation Mono where
// it is missing.
QFont ReportFont(double pointSize);

}  // namespace qlm
