#include "app/GroupHeaderView.h"

#include <QPainter>
#include <QStyleOptionHeader>

#include <algorithm>

namespace korthal::app {

GroupHeaderView::GroupHeaderView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(false);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignCenter);
}

void GroupHeaderView::setGroups(std::vector<Group> groups)
{
    groups_ = std::move(groups);
    viewport()->update();
}

void GroupHeaderView::setGroupTitle(int firstColumn, const QString& title)
{
    for (Group& g : groups_)
        if (g.first == firstColumn) g.title = title;
    viewport()->update();
}

QString GroupHeaderView::groupTitle(int column) const
{
    const Group* g = groupOf(column);
    return g ? g->title : QString();
}

const GroupHeaderView::Group* GroupHeaderView::groupOf(int column) const
{
    for (const Group& g : groups_)
        if (column >= g.first && column <= g.last) return &g;
    return nullptr;
}

QSize GroupHeaderView::sizeHint() const
{
    QSize s = QHeaderView::sizeHint();
    s.setHeight(2 * fontMetrics().height() + 10);
    return s;
}

void GroupHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid()) return;
    const QString title =
        model() ? model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString()
                : QString();
    const Group* g = groupOf(logicalIndex);
    // A column title is centred unless the model aligns it otherwise.
    const QVariant titleAlign =
        model() ? model()->headerData(logicalIndex, orientation(), Qt::TextAlignmentRole)
                : QVariant();
    const int align = titleAlign.isValid() ? titleAlign.toInt() : int(Qt::AlignCenter);

    // A header cell: the style's section, then the title, wrapped when it
    // does not fit on one line.
    auto drawCell = [&](const QRect& r, const QString& text) {
        QStyleOptionHeader opt;
        initStyleOption(&opt);
        opt.rect = r;
        opt.section = logicalIndex;
        opt.position = QStyleOptionHeader::Middle;
        painter->save();
        painter->setClipRect(r);
        style()->drawControl(QStyle::CE_HeaderSection, &opt, painter, this);
        painter->setPen(palette().color(QPalette::ButtonText));
        // Blanks that once placed a title by hand are not wanted here: the
        // title is centred (unless the model aligns it otherwise), on one
        // line when the column is wide enough.
        painter->drawText(r.adjusted(2, 0, -2, 0), align | Qt::TextWordWrap, text.simplified());
        painter->restore();
    };

    if (!g) {
        drawCell(rect, title);
        return;
    }
    // The group band takes one line; the column titles the rest, so that a
    // taller header gives them room for two lines.
    const int half = std::min(rect.height() / 2, fontMetrics().height() + 5);
    // The group band spans every visible column of the group; each of its
    // sections paints the part of it that lies over itself.
    const int left = sectionViewportPosition(g->first);
    const int right = sectionViewportPosition(g->last) + sectionSize(g->last);
    const QRect band(left, rect.top(), right - left, half);
    painter->save();
    painter->setClipRect(QRect(rect.left(), rect.top(), rect.width(), half));
    QStyleOptionHeader opt;
    initStyleOption(&opt);
    opt.rect = band;
    opt.section = logicalIndex;
    style()->drawControl(QStyle::CE_HeaderSection, &opt, painter, this);
    painter->setPen(palette().color(QPalette::ButtonText));
    painter->drawText(band, Qt::AlignCenter, g->title);
    painter->restore();
    drawCell(QRect(rect.left(), rect.top() + half, rect.width(), rect.height() - half), title);
}

}  // namespace korthal::app
