#include "sheet_files.h"

#include "sheet_pages.h"

#include <QBuffer>
#include <QFileInfo>
#include <QHashFunctions>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace bank_sheet {
namespace {

constexpr double kPointsPerInch = 72;
constexpr double kInchesPerMetre = 39.37007874;

QString title(const Content& content) {
    QString name = shownText(content.record.bankName());
    if (content.bankNumber > 0)
        name = QStringLiteral("Bank %1 %2").arg(content.bankNumber).arg(name);
    return QStringLiteral("Pultron64 bank sheet: ") + name.trimmed();
}

QString title(const std::vector<Content>& pages) {
    return pages.size() == 1 ? title(pages.front())
                             : QStringLiteral("Pultron64 bank sheets: %1 banks").arg(pages.size());
}

QString isoDate(const QDateTime& moment) {
    return moment.toUTC().toString(Qt::ISODate);
}

void setDotsPerInch(QImage& image, double dpi) {
    image.setDotsPerMeterX(qRound(dpi * kInchesPerMetre));
    image.setDotsPerMeterY(qRound(dpi * kInchesPerMetre));
}

// Overwrites `from` .. `to` of `bytes` with `replacement` padded by spaces, keeping every offset
// of the file; a longer replacement is cut, which never happens for the fields changed here.
void overwrite(QByteArray& bytes, qsizetype from, qsizetype to, QByteArray replacement) {
    replacement = replacement.leftJustified(to - from, ' ', true);
    bytes.replace(from, to - from, replacement);
}

// The span of `key` and the value after it up to and including `end`, or -1.
std::pair<qsizetype, qsizetype> entrySpan(const QByteArray& bytes, const QByteArray& key,
                                          char end) {
    const qsizetype from = bytes.indexOf(key);
    const qsizetype to = from < 0 ? -1 : bytes.indexOf(end, from + key.size());
    return {from, to < 0 ? -1 : to + 1};
}

// Qt writes the time of writing into the document information as its creation date. It is
// rewritten in place, at the same length so that the cross-reference offsets hold: to `created`,
// or to blanks.
QByteArray fixedPdf(QByteArray pdf, const std::optional<QDateTime>& created) {
    const auto [from, to] = entrySpan(pdf, "/CreationDate (", ')');
    if (to < 0) return pdf;
    const QByteArray date =
        created
            ? "/CreationDate (D:" + created->toUTC().toString("yyyyMMddHHmmss").toLatin1() + "Z)"
            : QByteArray();
    overwrite(pdf, from, to, date);
    return pdf;
}

// A small XMP packet of our own: Qt's own holds the time of writing and a random document id.
QByteArray xmpMetadata(const QString& title, const std::optional<QDateTime>& created) {
    QByteArray xmp = "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?>\n"
                     "<x:xmpmeta xmlns:x='adobe:ns:meta/'>\n"
                     "<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>\n"
                     "<rdf:Description rdf:about='' xmlns:dc='http://purl.org/dc/elements/1.1/'"
                     " xmlns:xmp='http://ns.adobe.com/xap/1.0/'>\n"
                     "<dc:title><rdf:Alt><rdf:li xml:lang='x-default'>" +
                     title.toHtmlEscaped().toUtf8() +
                     "</rdf:li></rdf:Alt></dc:title>\n"
                     "<xmp:CreatorTool>vPultron64</xmp:CreatorTool>\n";
    if (created) xmp += "<xmp:CreateDate>" + isoDate(*created).toLatin1() + "</xmp:CreateDate>\n";
    return xmp + "</rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end='r'?>";
}

// Qt's PDF writer lists the embedded fonts in the order of a hash; a fixed seed while it writes
// gives the same order every time. Hashes made before or after keep a random seed.
class FixedHashOrder {
public:
    FixedHashOrder() { QHashSeed::setDeterministicGlobalSeed(); }
    ~FixedHashOrder() { QHashSeed::resetRandomGlobalSeed(); }
    FixedHashOrder(const FixedHashOrder&) = delete;
    FixedHashOrder& operator=(const FixedHashOrder&) = delete;
};

QByteArray pngBytes(const Content& content, const std::optional<QDateTime>& created) {
    QImage image = picture(content);
    if (created) image.setText(QStringLiteral("Creation Time"), isoDate(*created));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

QByteArray svgBytes(const Content& content, const std::optional<QDateTime>& created) {
    QBuffer buffer;
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setResolution(int(kPointsPerInch));
    generator.setSize(kPageSize.toSize());
    generator.setViewBox(QRectF(QPointF(0, 0), kPageSize));
    generator.setTitle(title(content).toHtmlEscaped()); // the generator writes it as it is
    generator.setDescription(created ? QStringLiteral("Created ") + isoDate(*created) : QString());
    QPainter painter(&generator);
    paint(painter, content);
    painter.end();
    return buffer.data();
}

} // namespace

QByteArray pdfFile(const std::vector<Content>& pages, const std::optional<QDateTime>& created) {
    const FixedHashOrder fixedOrder;
    const QString name = title(pages);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(int(kPointsPerInch));
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
        writer.setTitle(name);
        writer.setCreator(QStringLiteral("vPultron64"));
        writer.setDocumentXmpMetadata(xmpMetadata(name, created));
        if (!paintPages(writer, pages)) return {};
    }
    return fixedPdf(buffer.data(), created);
}

std::optional<Format> formatOfPath(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf")) return Format::Pdf;
    if (suffix == QLatin1String("png")) return Format::Png;
    if (suffix == QLatin1String("svg")) return Format::Svg;
    return std::nullopt;
}

std::optional<QDateTime> sourceDateEpoch() {
    bool ok = false;
    const qint64 seconds = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&ok);
    if (!ok) return std::nullopt;
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

QImage picture(const Content& content) {
    const double scale = kPictureDpi / kPointsPerInch;
    QImage image((kPageSize * scale).toSize(), QImage::Format_RGB32);
    // Fonts are sized in points against the image's resolution: 72 while painting in points.
    setDotsPerInch(image, kPointsPerInch);
    {
        QPainter painter(&image);
        painter.scale(scale, scale);
        paint(painter, content);
    }
    setDotsPerInch(image, kPictureDpi);
    return image;
}

QByteArray fileBytes(Format format, const Content& content,
                     const std::optional<QDateTime>& created) {
    switch (format) {
    case Format::Pdf:
        return pdfFile({content}, created);
    case Format::Png:
        return pngBytes(content, created);
    case Format::Svg:
        return svgBytes(content, created);
    }
    return {};
}

} // namespace bank_sheet
