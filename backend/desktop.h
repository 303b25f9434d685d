#pragma once

#include <QUrl>

#include <functional>

// Hands a file to the application the desktop registers for its type (an
// export opened in the spreadsheet or the chart plotter). Tests put a
// recorder in its place, so that nothing is launched.
namespace Desktop {

using Opener = std::function<bool(const QUrl &url)>;

bool openUrl(const QUrl &url);
// An empty opener brings back the desktop's own.
void setOpener(Opener opener);

} // namespace Desktop
