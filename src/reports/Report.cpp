#include "reports/Report.h"

namespace reports {

Band::Band(qreal heightMm, qreal widthMm) : height(heightMm), width(widthMm) {}

Element& Band::add(ElementKind kind, const QString& name, const QRectF& geometry)
{
    Element& e = elements.emplace_back();
    e.kind = kind;
    e.name = name;
    e.geometry = geometry;
    return e;
}

Element& Band::addText(const QString& name, qreal x, qreal y, const QString& text, const FontStyle& font,
                       qreal boxWidth, Qt::Alignment alignment)
{
    Element& e = add(ElementKind::Text, name, QRectF(x, y, boxWidth, 0));
    e.text = text;
    e.font = font;
    e.alignment = alignment;
    return e;
}

Element& Band::addHorizontalLine(const QString& name, qreal x1, qreal x2, qreal y)
{
    return add(ElementKind::HorizontalLine, name, QRectF(qMin(x1, x2), y, qAbs(x2 - x1), 0));
}

Element& Band::addVerticalLine(const QString& name, qreal x, qreal y1, qreal y2)
{
    return add(ElementKind::VerticalLine, name, QRectF(x, qMin(y1, y2), 0, qAbs(y2 - y1)));
}

Element& Band::addRect(const QString& name, const QRectF& rect)
{
    return add(ElementKind::Rect, name, rect);
}

Element* Band::find(QStringView name)
{
    for (Element& e : elements) {
        if (e.name == name)
            return &e;
    }
    return nullptr;
}

Element& Band::element(QStringView name)
{
    if (Element* e = find(name))
        return *e;
    throw ReportError(QStringLiteral("El informe no tiene el elemento %1").arg(name));
}

Report::Report()
    : pageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 5, 10, 5), QPageLayout::Millimeter)
{
}

} // namespace reports
