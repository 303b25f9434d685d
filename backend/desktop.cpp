#include "desktop.h"

#include <QDesktopServices>

namespace {
Desktop::Opener s_opener;
} // namespace

namespace Desktop {

bool openUrl(const QUrl &url)
{
    return s_opener ? s_opener(url) : QDesktopServices::openUrl(url);
}

void setOpener(Opener opener)
{
    s_opener = std::move(opener);
}

} // namespace Desktop
