#pragma once
// A horizontal header with two rows: group titles over runs of columns on
// top, the column titles below. A column outside every group has its title
// over both rows.

#include <QHeaderView>
#include <QString>
#include <vector>

namespace korthal::app {

class GroupHeaderView : public QHeaderView {
    Q_OBJECT
public:
    struct Group {
        int first = 0;
        int last = 0;
        QString title;
    };

    explicit GroupHeaderView(QWidget* parent = nullptr);

    void setGroups(std::vector<Group> groups);
    void setGroupTitle(int firstColumn, const QString& title);
    const std::vector<Group>& groups() const { return groups_; }
    // The title of the group over a column; empty when none.
    QString groupTitle(int column) const;

protected:
    QSize sizeHint() const override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    const Group* groupOf(int column) const;
    std::vector<Group> groups_;
};

}  // namespace korthal::app
