// Draws the pane's three bundle images: the restart button's check mark (a template: only its
// alpha counts), the add-on's icon for the navigation bar, and the banner above the rows.
// Usage: drawimages <output directory>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

namespace {
const QColor kTint(121, 145, 153);
const QColor kDark(72, 97, 112);
const QColor kDeep(44, 61, 72);

QImage canvas(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void prepare(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
}

// 60 x 60: drawn at 30 points on a high-density screen, halved cleanly on a plain one.
QImage checkmark() {
    QImage image = canvas(60, 60);
    QPainter painter(&image);
    prepare(painter);
    QPainterPath path;
    path.moveTo(18.5, 31.0);
    path.lineTo(26.5, 39.0);
    path.lineTo(42.0, 22.0);
    painter.setPen(QPen(Qt::black, 5.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
    return image;
}

QPainterPath playTriangle(const QPointF& centre, qreal size) {
    // Optically centred: a triangle's weight sits left of its box centre.
    const qreal h = size;
    const qreal w = size * 0.88;
    const QPointF shift(w * 0.12, 0);
    QPainterPath path;
    path.moveTo(centre + shift + QPointF(-w / 2, -h / 2));
    path.lineTo(centre + shift + QPointF(w / 2, 0));
    path.lineTo(centre + shift + QPointF(-w / 2, h / 2));
    path.closeSubpath();
    return path;
}

// 120 x 120 with a transparent margin, so the rounded square sits inside the bar's height.
QImage icon() {
    QImage image = canvas(120, 120);
    QPainter painter(&image);
    prepare(painter);
    const QRectF square(16, 16, 88, 88);
    QLinearGradient fill(square.topLeft(), square.bottomRight());
    fill.setColorAt(0, kTint);
    fill.setColorAt(1, kDark);
    QPainterPath body;
    body.addRoundedRect(square, 20, 20);
    painter.fillPath(body, fill);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 235));
    QPainterPath play = playTriangle(square.center(), 38);
    QPainterPathStroker rounder;
    rounder.setWidth(6);
    rounder.setJoinStyle(Qt::RoundJoin);
    painter.drawPath(play.united(rounder.createStroke(play)));
    return image;
}

void drawLevels(QPainter& painter, const QRectF& area) {
    // A row of level bars, as a player shows while playing.
    const qreal heights[] = {0.35, 0.7, 0.5, 0.95, 0.6, 0.8, 0.4, 0.65, 0.3, 0.55, 0.85, 0.45};
    const int count = int(std::size(heights));
    const qreal step = area.width() / count;
    const qreal barWidth = step * 0.55;
    for (int i = 0; i < count; ++i) {
        const qreal h = area.height() * heights[i];
        const QRectF bar(area.left() + i * step, area.bottom() - h, barWidth, h);
        painter.setBrush(QColor(255, 255, 255, 70 + i * 10));
        painter.drawRoundedRect(bar, barWidth / 2, barWidth / 2);
    }
}

// 780 x 400: the full width of the header at 390 points on a high-density screen.
QImage banner() {
    QImage image = canvas(780, 400);
    QPainter painter(&image);
    prepare(painter);
    const QRectF card(32, 48, 716, 304);
    QLinearGradient fill(card.topLeft(), card.bottomRight());
    fill.setColorAt(0, kTint);
    fill.setColorAt(0.55, kDark);
    fill.setColorAt(1, kDeep);
    QPainterPath body;
    body.addRoundedRect(card, 20, 20);
    painter.fillPath(body, fill);
    painter.setClipPath(body);

    // A large soft disc behind the play button.
    const QPointF disc(card.left() + 150, card.center().y());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 28));
    painter.drawEllipse(disc, 150, 150);
    painter.setBrush(QColor(255, 255, 255, 40));
    painter.drawEllipse(disc, 96, 96);
    painter.setBrush(QColor(255, 255, 255, 240));
    painter.drawEllipse(disc, 62, 62);
    painter.setBrush(kDark);
    painter.drawPath(playTriangle(disc, 52));

    QFont title(QStringLiteral("Inter"));
    title.setPixelSize(56);
    title.setWeight(QFont::Bold);
    painter.setFont(title);
    painter.setPen(Qt::white);
    const QRectF text(card.left() + 320, card.top() + 44, card.width() - 344, 80);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("TOLV Player"));
    QFont subtitle(QStringLiteral("Inter"));
    subtitle.setPixelSize(28);
    subtitle.setWeight(QFont::Medium);
    painter.setFont(subtitle);
    painter.setPen(QColor(255, 255, 255, 200));
    painter.drawText(text.translated(0, 60), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Player settings"));
    painter.setPen(Qt::NoPen);
    drawLevels(painter, QRectF(card.left() + 322, card.top() + 180, 340, 84));
    return image;
}

bool save(const QImage& image, const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    if (image.save(path, "PNG"))
        return true;
    QTextStream(stderr) << "drawimages: could not write " << path << "\n";
    return false;
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // fonts, no display
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: drawimages <output directory>\n";
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists() && !QDir().mkpath(dir.path())) {
        QTextStream(stderr) << "drawimages: no directory " << dir.path() << "\n";
        return 1;
    }
    const bool ok = save(checkmark(), dir, QStringLiteral("CHECKMARK.png")) &&
                    save(icon(), dir, QStringLiteral("icon.png")) &&
                    save(banner(), dir, QStringLiteral("banner.png"));
    return ok ? 0 : 1;
}
