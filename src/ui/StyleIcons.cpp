#include "ui/StyleIcons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPixmapCache>
#include <QtMath>

#include <algorithm>
#include <array>
#include <iterator>

namespace {

enum class Glyph {
    None,
    OpenFile,
    Play,
    Pause,
    Playlist,
    Previous,
    Next,
    Exit,
    Info,
    Add,
    DeleteRow,
    Trash,
};

struct IconEntry {
    const char *name;
    Glyph glyph;
    bool bordered;
};

constexpr std::array kIcons{
    IconEntry{"pagecurltoolbutton", Glyph::OpenFile, false},
    IconEntry{"playtoolbuttonbordered", Glyph::Play, true},
    IconEntry{"pausetoolbuttonbordered", Glyph::Pause, true},
    IconEntry{"composetoolbuttonbordered", Glyph::Playlist, true},
    IconEntry{"rewindtoolbuttonbordered", Glyph::Previous, true},
    IconEntry{"forwardtoolbuttonbordered", Glyph::Next, true},
    IconEntry{"escapetoolbuttonbordered", Glyph::Exit, true},
    IconEntry{"infotoolbuttonbordered", Glyph::Info, true},
    IconEntry{"addtoolbuttonbordered", Glyph::Add, true},
    IconEntry{"deleteitembutton", Glyph::DeleteRow, false},
    IconEntry{"trashtoolbuttonbordered", Glyph::Trash, true},
    IconEntry{"donetoolbutton", Glyph::None, false},
    IconEntry{"transparentcirclebuttonstyle", Glyph::None, false},
};

const IconEntry *FindEntry(const QString &name) {
    const auto it = std::find_if(std::begin(kIcons), std::end(kIcons),
                                 [&](const IconEntry &e) { return name == QLatin1String(e.name); });
    return it == std::end(kIcons) ? nullptr : &*it;
}

QColor GlyphColor(QIcon::Mode mode) {
    switch (mode) {
    case QIcon::Disabled:
        return QColor(0x60, 0x60, 0x60);
    case QIcon::Active:
    case QIcon::Selected:
        return QColor(0xff, 0xff, 0xff);
    case QIcon::Normal:
        break;
    }
    return QColor(0xd0, 0xd0, 0xd0);
}

// All glyphs are drawn in a 100 x 100 box. The drawing stays inside roughly
// 20..80 so that it covers about 60% of a tool-bar button and sits centred.
constexpr qreal kBox = 100.0;
constexpr qreal kStroke = 6.0;

QPen StrokePen(const QColor &color, qreal width = kStroke) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Filled shapes also get a thin outline with round joins, which softens the
// sharp tips of triangles the way current media players draw them.
void FillSoft(QPainter &p, const QPainterPath &path, const QColor &color) {
    p.setPen(StrokePen(color, 3.0));
    p.setBrush(color);
    p.drawPath(path);
}

QPainterPath Triangle(QPointF a, QPointF b, QPointF c) {
    QPainterPath path(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    return path;
}

void DrawFrame(QPainter &p, const QColor &color) {
    QColor edge = color;
    edge.setAlpha(70);
    QColor fill = color;
    fill.setAlpha(14);
    p.setPen(QPen(edge, 2.2));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(4, 4, 92, 92), 20, 20);
}

void DrawOpenFile(QPainter &p, const QColor &c) {
    // A sheet with its top right corner folded over.
    const qreal left = 28, right = 72, top = 19, bottom = 81, fold = 16;
    QPainterPath sheet(QPointF(left, top));
    sheet.lineTo(right - fold, top);
    sheet.lineTo(right, top + fold);
    sheet.lineTo(right, bottom);
    sheet.lineTo(left, bottom);
    sheet.closeSubpath();
    p.setPen(StrokePen(c));
    p.setBrush(Qt::NoBrush);
    p.drawPath(sheet);

    QPainterPath ear(QPointF(right - fold, top));
    ear.lineTo(right - fold, top + fold);
    ear.lineTo(right, top + fold);
    ear.closeSubpath();
    FillSoft(p, ear, c);

    p.setPen(StrokePen(c, 4.5));
    p.drawLine(QPointF(38, 52), QPointF(62, 52));
    p.drawLine(QPointF(38, 66), QPointF(54, 66));
}

void DrawPlay(QPainter &p, const QColor &c) {
    // The centroid sits at x = 50; that is what the eye reads as centred.
    FillSoft(p, Triangle({37, 24}, {37, 76}, {76, 50}), c);
}

void DrawPause(QPainter &p, const QColor &c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(31, 24, 13, 52), 3, 3);
    p.drawRoundedRect(QRectF(56, 24, 13, 52), 3, 3);
}

void DrawPlaylist(QPainter &p, const QColor &c) {
    p.setPen(StrokePen(c));
    p.drawLine(QPointF(22, 28), QPointF(78, 28));
    p.drawLine(QPointF(22, 44), QPointF(78, 44));
    p.drawLine(QPointF(22, 60), QPointF(46, 60));
    p.drawLine(QPointF(22, 76), QPointF(38, 76));

    // A pencil lying from the bottom middle up to the right.
    p.save();
    p.translate(51, 79);
    p.rotate(-45);
    QPainterPath pencil(QPointF(0, 0));
    pencil.lineTo(10, -6);
    pencil.lineTo(36, -6);
    pencil.lineTo(36, 6);
    pencil.lineTo(10, 6);
    pencil.closeSubpath();
    p.setPen(StrokePen(c, 4.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(pencil);
    p.drawLine(QPointF(10, -6), QPointF(10, 6));
    p.restore();
}

void DrawPrevious(QPainter &p, const QColor &c) {
    // A bar and two triangles: go back a track, held down to rewind.
    p.setPen(StrokePen(c, 7.5));
    p.drawLine(QPointF(24, 30), QPointF(24, 70));
    FillSoft(p, Triangle({32, 50}, {54, 30}, {54, 70}), c);
    FillSoft(p, Triangle({54, 50}, {76, 30}, {76, 70}), c);
}

void DrawNext(QPainter &p, const QColor &c) {
    p.save();
    p.translate(kBox, 0);
    p.scale(-1, 1);
    DrawPrevious(p, c);
    p.restore();
}

void DrawExit(QPainter &p, const QColor &c) {
    // The power symbol: an open ring with a stroke through the gap.
    p.setPen(StrokePen(c, 6.5));
    p.setBrush(Qt::NoBrush);
    const QRectF ring(24, 27, 52, 52);
    p.drawArc(ring, 125 * 16, 290 * 16);
    p.drawLine(QPointF(50, 20), QPointF(50, 50));
}

void DrawInfo(QPainter &p, const QColor &c) {
    p.setPen(StrokePen(c, 5.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(50, 50), 29, 29);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(50, 35.5), 4.5, 4.5);
    p.setPen(StrokePen(c, 7.5));
    p.drawLine(QPointF(50, 47), QPointF(50, 66));
}

void DrawAdd(QPainter &p, const QColor &c) {
    p.setPen(StrokePen(c, 7.5));
    p.drawLine(QPointF(50, 23), QPointF(50, 77));
    p.drawLine(QPointF(23, 50), QPointF(77, 50));
}

void DrawDeleteRow(QPainter &p, const QColor &c) {
    // The bar is cut out of the disc rather than painted over it, so whatever
    // lies under the button (a selected row, say) shows through.
    QPainterPath disc;
    disc.addEllipse(QPointF(50, 50), 32, 32);
    QPainterPath bar;
    bar.addRoundedRect(QRectF(32, 45, 36, 10), 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(disc.subtracted(bar));
}

void DrawTrash(QPainter &p, const QColor &c) {
    p.setPen(StrokePen(c, 5.5));
    p.setBrush(Qt::NoBrush);
    // Lid with its handle.
    p.drawLine(QPointF(22, 30), QPointF(78, 30));
    QPainterPath handle(QPointF(41, 30));
    handle.lineTo(41, 22);
    handle.lineTo(59, 22);
    handle.lineTo(59, 30);
    p.drawPath(handle);
    // Can, narrowing slightly toward the bottom.
    QPainterPath can(QPointF(29, 37));
    can.lineTo(32, 79);
    can.lineTo(68, 79);
    can.lineTo(71, 37);
    p.drawPath(can);
    p.setPen(StrokePen(c, 4.5));
    p.drawLine(QPointF(43, 45), QPointF(43.8, 70));
    p.drawLine(QPointF(57, 45), QPointF(56.2, 70));
}

void DrawGlyph(QPainter &p, Glyph glyph, const QColor &c) {
    switch (glyph) {
    case Glyph::None:
        return;
    case Glyph::OpenFile:
        return DrawOpenFile(p, c);
    case Glyph::Play:
        return DrawPlay(p, c);
    case Glyph::Pause:
        return DrawPause(p, c);
    case Glyph::Playlist:
        return DrawPlaylist(p, c);
    case Glyph::Previous:
        return DrawPrevious(p, c);
    case Glyph::Next:
        return DrawNext(p, c);
    case Glyph::Exit:
        return DrawExit(p, c);
    case Glyph::Info:
        return DrawInfo(p, c);
    case Glyph::Add:
        return DrawAdd(p, c);
    case Glyph::DeleteRow:
        return DrawDeleteRow(p, c);
    case Glyph::Trash:
        return DrawTrash(p, c);
    }
}

class GlyphIconEngine : public QIconEngine {
public:
    explicit GlyphIconEngine(const IconEntry &entry) : m_entry(entry) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override {
        if (m_entry.glyph == Glyph::None || rect.isEmpty())
            return;
        // Square drawing area, centred in whatever rectangle the caller gives.
        const qreal side = qMin(rect.width(), rect.height());
        const QPointF origin(rect.x() + (rect.width() - side) / 2.0,
                             rect.y() + (rect.height() - side) / 2.0);
        const QColor color = GlyphColor(mode);

        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(origin);
        painter->scale(side / kBox, side / kBox);
        if (m_entry.bordered)
            DrawFrame(*painter, color);
        DrawGlyph(*painter, m_entry.glyph, color);
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override {
        return render(size, mode, state, 1.0);
    }

    // QIcon hands over the size already multiplied by the device pixel ratio,
    // so the glyph is drawn at full device resolution instead of scaled up.
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return render(size, mode, state, scale > 0 ? scale : 1.0);
    }

    QIconEngine *clone() const override { return new GlyphIconEngine(m_entry); }
    QString key() const override { return QStringLiteral("VelpaGlyphIconEngine"); }
    QString iconName() override { return QLatin1String(m_entry.name); }
    bool isNull() override { return m_entry.glyph == Glyph::None; }

private:
    QPixmap render(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal ratio) {
        if (size.isEmpty())
            return {};
        const QString cacheKey = QStringLiteral("velpa-glyph:%1:%2:%3x%4@%5")
                                     .arg(QLatin1String(m_entry.name))
                                     .arg(int(mode))
                                     .arg(size.width())
                                     .arg(size.height())
                                     .arg(ratio);
        QPixmap pm;
        if (QPixmapCache::find(cacheKey, &pm))
            return pm;
        pm = QPixmap(size);
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            paint(&p, QRect(QPoint(0, 0), size), mode, state);
        }
        pm.setDevicePixelRatio(ratio);
        QPixmapCache::insert(cacheKey, pm);
        return pm;
    }

    IconEntry m_entry;
};

} // namespace

QIcon StyleIcon(const QString &styleLookup) {
    const IconEntry *entry = FindEntry(styleLookup);
    if (!entry)
        return {};
    return QIcon(new GlyphIconEngine(*entry));
}

bool HasStyleIcon(const QString &styleLookup) {
    return FindEntry(styleLookup) != nullptr;
}

QStringList StyleLookupNames() {
    QStringList names;
    for (const IconEntry &e : kIcons)
        names << QLatin1String(e.name);
    return names;
}
