#include "platform/res/Resources.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

#include <atomic>
#include <map>
#include <mutex>

namespace platform::res {

namespace {

std::atomic<ResourceProvider*> s_installed{nullptr};

struct Entry {
    CString type;
    QString file;
    QPoint hotSpot;
};

// res/resources.txt: one resource a line, "id TYPE path [hotspot-x hotspot-y]";
// "#" starts a comment.
const std::map<std::pair<UINT, CString>, Entry>& Index() {
    static const auto index = [] {
        std::map<std::pair<UINT, CString>, Entry> map;
        QFile file(":/res/resources.txt");
        if (!file.open(QIODevice::ReadOnly))
            return map;
        QTextStream in(&file);
        while (!in.atEnd()) {
            QString line = in.readLine();
            line = line.left(line.indexOf('#')).trimmed();
            if (line.isEmpty())
                continue;
            const QStringList f = line.split(' ', Qt::SkipEmptyParts);
            if (f.size() < 3)
                continue;
            Entry e{f[1].toUpper().toStdString(), ":/res/" + f[2], {}};
            if (f.size() >= 5)
                e.hotSpot = QPoint(f[3].toInt(), f[4].toInt());
            map[{f[0].toUInt(), e.type}] = e;
        }
        return map;
    }();
    return index;
}

std::optional<QByteArray> ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

std::optional<Entry> Find(UINT id, const CString& type) {
    const auto& index = Index();
    auto it = index.find({id, type});
    if (it == index.end())
        return std::nullopt;
    return it->second;
}

std::optional<QImage> LoadPicture(const Entry& e) {
    auto bytes = ReadFile(e.file);
    if (!bytes)
        return std::nullopt;
    QImage image =
        e.file.endsWith(".svg", Qt::CaseInsensitive) ? RenderSvg(*bytes) : QImage::fromData(*bytes);
    if (image.isNull())
        return std::nullopt;
    return image;
}

} // namespace

QImage RenderSvg(const QByteArray& svg, QSize size) {
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return {};
    if (size.isEmpty())
        size = renderer.defaultSize();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    renderer.render(&p);
    return image;
}

ResourceProvider& Provider() {
    static ProgramResources program;
    ResourceProvider* p = s_installed.load();
    return p ? *p : program;
}

ResourceProvider* InstallProvider(ResourceProvider* provider) {
    return s_installed.exchange(provider);
}

std::optional<QImage> ProgramResources::Bitmap(UINT id) {
    {
        std::lock_guard lock(m_mutex);
        if (auto it = m_bitmaps.find(id); it != m_bitmaps.end())
            return it->second;
    }
    auto e = Find(id, "BITMAP");
    if (!e)
        return std::nullopt;
    auto image = LoadPicture(*e);
    if (!image)
        return std::nullopt;
    // Bitmaps are opaque: what a picture leaves transparent is black.
    QImage opaque(image->size(), QImage::Format_RGB32);
    opaque.fill(Qt::black);
    {
        QPainter p(&opaque);
        p.drawImage(0, 0, *image);
    }
    std::lock_guard lock(m_mutex);
    m_bitmaps.emplace(id, opaque);
    return opaque;
}

std::optional<QByteArray> ProgramResources::Data(UINT id, const CString& type) {
    auto e = Find(id, type);
    if (!e)
        return std::nullopt;
    if (type == "PNG" && e->file.endsWith(".svg", Qt::CaseInsensitive)) {
        {
            std::lock_guard lock(m_mutex);
            if (auto it = m_pngs.find(id); it != m_pngs.end())
                return it->second;
        }
        auto image = LoadPicture(*e);
        if (!image)
            return std::nullopt;
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image->save(&buffer, "PNG");
        std::lock_guard lock(m_mutex);
        m_pngs.emplace(id, png);
        return png;
    }
    return ReadFile(e->file);
}

std::optional<CursorImage> ProgramResources::Cursor(UINT id) {
    auto e = Find(id, "CURSOR");
    if (!e)
        return std::nullopt;
    auto image = LoadPicture(*e);
    if (!image)
        return std::nullopt;
    return CursorImage{*image, e->hotSpot};
}

std::optional<CString> ProgramResources::String(UINT id) {
    static const auto strings = [] {
        std::map<UINT, CString> map;
        auto bytes = ReadFile(":/res/strings.txt");
        if (!bytes)
            return map;
        // "id<TAB>text"; "\n" in the text is a line break.
        for (const QByteArray& line : bytes->split('\n')) {
            const qsizetype tab = line.indexOf('\t');
            if (tab <= 0 || line.startsWith('#'))
                continue;
            QByteArray text = line.mid(tab + 1);
            text.replace("\\n", "\n");
            map[line.left(tab).trimmed().toUInt()] = text.toStdString();
        }
        return map;
    }();
    auto it = strings.find(id);
    if (it == strings.end())
        return std::nullopt;
    return it->second;
}

std::optional<CString> ProgramResources::Source(UINT id, const CString& kind) {
    auto e = Find(id, kind);
    if (!e)
        return std::nullopt;
    auto bytes = ReadFile(e->file);
    if (!bytes)
        return std::nullopt;
    return bytes->toStdString();
}

} // namespace platform::res
