// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>
#include <QStringList>

// The drop-down topic box of the search and new-quote dialogs: an edit
// field over a list that is always in alphabetical order (TopicOrder). Typing
// never adds to the list and nothing is completed automatically: the text
// is exactly what the user typed or picked.
class TopicCombo : public QComboBox {
    Q_OBJECT
public:
    TopicCombo(const QString &designText, QWidget *parent = nullptr);

    // Replaces the list by the topics, sorted; the edit field goes back to
    // the design text and no entry is selected.
    void setTopics(const QStringList &topics);

    QString designText() const { return m_designText; }
    QStringList topics() const;

    static QStringList sorted(QStringList topics);

protected:
    // The drop-down list keeps the box's colours.
    void changeEvent(QEvent *event) override;

private:
    QString m_designText;
};
