#pragma once

// The program's resources by numeric id: bitmaps, PNG images and other typed
// data, cursors, strings, dialog templates and menus.  Their sources are
// editable files in res/ (pictures as SVG), listed in res/resources.txt and
// embedded with the Qt resource system; a test installs its own provider.

#include "platform/sys/WinTypes.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>

#include <map>
#include <mutex>
#include <optional>

namespace platform::res {

struct CursorImage {
    QImage image;
    QPoint hotSpot;
};

class ResourceProvider {
public:
    virtual ~ResourceProvider() = default;
    // A bitmap resource as an opaque image.
    virtual std::optional<QImage> Bitmap(UINT id) = 0;
    // The bytes of a resource of a named type ("PNG", "JSON", ...).  PNG
    // resources are PNG files.
    virtual std::optional<QByteArray> Data(UINT id, const CString& type) = 0;
    virtual std::optional<CursorImage> Cursor(UINT id) = 0;
    virtual std::optional<CString> String(UINT id) = 0;
    // The source text of a dialog template ("DIALOG") or a menu ("MENU").
    virtual std::optional<CString> Source(UINT id, const CString& kind) = 0;
};

// The provider in use: the program's embedded resources unless a test
// installed another.
ResourceProvider& Provider();
// Installs `provider` (nullptr: the program's own) and returns the previous one.
ResourceProvider* InstallProvider(ResourceProvider* provider);

// The program's own resources, read from the embedded res/ tree.
class ProgramResources final : public ResourceProvider {
public:
    std::optional<QImage> Bitmap(UINT id) override;
    std::optional<QByteArray> Data(UINT id, const CString& type) override;
    std::optional<CursorImage> Cursor(UINT id) override;
    std::optional<CString> String(UINT id) override;
    std::optional<CString> Source(UINT id, const CString& kind) override;

private:
    // Pictures are rendered from their sources once; windows load the same
    // bitmap at every paint.
    std::mutex m_mutex;
    std::map<UINT, QImage> m_bitmaps;
    // PNG pictures drawn from SVG sources, encoded once.
    std::map<UINT, QByteArray> m_pngs;
};

// Renders an SVG document to an image of its own size (or `size` when given);
// transparent where the picture is.
QImage RenderSvg(const QByteArray& svg, QSize size = {});

} // namespace platform::res
