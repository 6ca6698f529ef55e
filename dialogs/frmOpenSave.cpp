#include "dialogs/frmOpenSave.h"

#include "platform/AppInfo.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBoxes.h"
#include "platform/Named.h"
#include "platform/ScrollBarNames.h"
#include "platform/WindowFront.h"
#include "store/EntryList.h"
#include "store/EntryStore.h"

#include <QEvent>
#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int NameMaxLength = 50;
const char* const TableName = "tblCofra";
const char* const IdField = "lngID";
const char* const NameField = "strName";

// Names sort without regard to case; names that differ only in case keep a fixed order.
bool sortsBefore(const QString& a, const QString& b) {
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

// A name is one line: the list shows one line of it and the name box holds
// one. Line breaks, tabs and other control characters that a paste brings in
// become spaces (a run of them one space, none at the ends), as the name box
// already shows them.
QString oneLineName(const QString& typed) {
    QString name;
    name.reserve(typed.size());
    bool gap = false;
    for (const QChar c : typed) {
        const bool control = c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
                             c == QChar::ParagraphSeparator;
        if (control) {
            gap = !name.isEmpty();
            continue;
        }
        if (gap)
            name += QLatin1Char(' ');
        gap = false;
        name += c;
    }
    return name;
}

// lstNames as the store's list: entries sorted by name, the row id as item data.
class NameList : public store::EntryList {
public:
    explicit NameList(QListWidget* list) : m_list(list) {}

    void clear() override {
        if (m_list)
            m_list->clear();
    }
    void addItems(const QList<store::EntryListItem>& items) override {
        if (!m_list)
            return;
        QList<store::EntryListItem> all = items;
        for (int index = 0; index < count(); ++index)
            all.append({itemText(index), itemData(index)});
        std::stable_sort(all.begin(), all.end(),
                         [](const auto& a, const auto& b) { return sortsBefore(a.text, b.text); });
        const QSignalBlocker quiet(m_list);
        m_list->clear();
        for (const store::EntryListItem& entry : all) {
            auto* item = new QListWidgetItem(entry.text);
            item->setData(Qt::UserRole, entry.id);
            m_list->addItem(item);
        }
    }
    int count() const override { return m_list ? m_list->count() : 0; }
    QString itemText(int index) const override { return m_list ? m_list->item(index)->text() : QString(); }
    qint64 itemData(int index) const override {
        return m_list ? m_list->item(index)->data(Qt::UserRole).toLongLong() : 0;
    }
    void setCurrentIndex(int index) override {
        if (m_list)
            m_list->setCurrentRow(index);
    }

private:
    QPointer<QListWidget> m_list;
};

} // namespace

frmOpenSave* frmOpenSave::shared(QWidget* owner) {
    QPointer<frmOpenSave>& form = platform::soleInstance<frmOpenSave>();
    if (!form)
        form = new frmOpenSave(owner);
    return form;
}

frmOpenSave* frmOpenSave::loaded() {
    return platform::soleInstance<frmOpenSave>();
}

void frmOpenSave::unload() {
    frmOpenSave* form = platform::soleInstance<frmOpenSave>();
    if (!form)
        return;
    platform::soleInstance<frmOpenSave>() = nullptr;
    form->hide();
    emit form->unloaded();
    // Later, because the chooser's own button handler may be what led here.
    form->deleteLater();
}

frmOpenSave::frmOpenSave(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmOpenSave"));
    setWindowTitle(QStringLiteral("Open"));
    setModal(false);

    lstNames = platform::named(new QListWidget(this), "lstNames");
    lstNames->setAccessibleName(QStringLiteral("Entries"));
    platform::nameScrollBars(lstNames);
    lstNames->setSelectionMode(QAbstractItemView::SingleSelection);
    // Every row is one line of text: the list then places a selection among
    // 100,000 names without measuring each of them first.
    lstNames->setUniformItemSizes(true);
    txtName = platform::named(new QLineEdit(this), "txtName");
    txtName->setMaxLength(NameMaxLength);
    txtName->setToolTip(QStringLiteral("Enter name here to Save As or Open."));
    txtName->setAccessibleName(QStringLiteral("Entry name"));
    txtName->installEventFilter(this);
    cmdOpen = platform::named(new QPushButton(QStringLiteral("&Open"), this), "cmdOpen");
    cmdOpen->setDefault(true);
    cmdClose = platform::named(new QPushButton(QStringLiteral("Close"), this), "cmdClose");
    cmdDelete = platform::named(new QPushButton(QStringLiteral("Delete"), this), "cmdDelete");

    auto* layout = new QGridLayout(this);
    layout->addWidget(txtName, 0, 0);
    layout->addWidget(lstNames, 1, 0, 4, 1);
    layout->addWidget(cmdOpen, 0, 1);
    layout->addWidget(cmdClose, 1, 1);
    layout->addWidget(cmdDelete, 2, 1);
    layout->setRowStretch(4, 1);
    setTabOrder(lstNames, txtName);
    setTabOrder(txtName, cmdOpen);
    setTabOrder(cmdOpen, cmdClose);
    setTabOrder(cmdClose, cmdDelete);
    resize(380, 300);

    connect(lstNames, &QListWidget::currentItemChanged, this, &frmOpenSave::lstNames_Click);
    connect(lstNames, &QListWidget::itemClicked, this, &frmOpenSave::lstNames_Click);
    connect(lstNames, &QListWidget::itemDoubleClicked, this, &frmOpenSave::lstNames_DblClick);
    connect(cmdOpen, &QPushButton::clicked, this, &frmOpenSave::cmdOpen_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmOpenSave::cmdClose_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmOpenSave::cmdDelete_Click);
}

void frmOpenSave::DoSaveOpen(bool ynIsSave, const QString& strName, qint64 lngID) {
    if (!strName.isEmpty())
        strSelName = strName;
    if (lngID != 0)
        lngSelID = lngID;
    txtName->setText(strSelName);
    ynSaveMode = ynIsSave;
    setWindowTitle(ynIsSave ? QStringLiteral("Save") : QStringLiteral("Open"));
    cmdOpen->setText(ynIsSave ? QStringLiteral("&Save") : QStringLiteral("&Open"));
    const QPointer<frmOpenSave> alive(this);
    RefreshNameList();
    if (!alive)
        return;
    if (const QListWidgetItem* current = lstNames->currentItem(); current && !current->text().isEmpty())
        txtName->setText(current->text());
    // The focus comes last, so that the name box, once filled, has its whole text selected.
    if (ynIsSave)
        txtName->setFocus();
    else
        lstNames->setFocus();
}

void frmOpenSave::RefreshNameList() {
    NameList list(lstNames);
    // The remembered name, else the remembered id, else id 1.
    const bool byName = !strSelName.isEmpty();
    const QString wanted = byName ? strSelName : QString::number(lngSelID != 0 ? lngSelID : 1);
    modCofra::FillListFromTable(list, QLatin1String(TableName), QLatin1String(IdField),
                                QLatin1String(NameField), wanted, byName);
}

void frmOpenSave::reject() {
    cmdClose_Click();
}

bool frmOpenSave::eventFilter(QObject* watched, QEvent* event) {
    // Entering the name box selects the whole name, however the focus arrived
    // (a mouse press would otherwise place the cursor after the selection is made).
    if (watched == txtName && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, txtName, [box = txtName] { box->setSelection(0, NameMaxLength); });
    return QDialog::eventFilter(watched, event);
}

void frmOpenSave::lstNames_Click(QListWidgetItem* item) {
    if (item)
        txtName->setText(item->text());
}

void frmOpenSave::lstNames_DblClick(QListWidgetItem* item) {
    lstNames_Click(item);
    cmdOpen_Click();
}

qint64 frmOpenSave::selectedID() const {
    const QListWidgetItem* current = lstNames->currentItem();
    return current && current->isSelected() ? current->data(Qt::UserRole).toLongLong() : 0;
}

QString frmOpenSave::selectedName() const {
    const QListWidgetItem* current = lstNames->currentItem();
    return current && current->isSelected() ? current->text() : QString();
}

void frmOpenSave::tellChangedElsewhere(QWidget* owner, const QString& strName, Change change) {
    static const char* const what[] = {
        "Nothing was opened. The list now shows the entries as they are.",
        "Nothing was deleted. The list now shows the entries as they are.",
        "Nothing was saved, and the text is as it was. Choose a name and Save again to store it.",
    };
    platform::MessageBoxSpec box;
    box.title = QStringLiteral("Entry Changed");
    box.text =
        QStringLiteral("The entry \"%1\" was changed by another copy of %2 that "
                       "uses the same entry database: it has been deleted or renamed there.\r\n\r\n%3")
            .arg(strName, QLatin1String(appinfo::ProductName), QLatin1String(what[static_cast<int>(change)]));
    box.icon = platform::MsgIcon::Exclamation;
    platform::MessageBoxes::show(owner, box);
}

void frmOpenSave::cmdOpen_Click() {
    if (ynSaveMode) {
        const QString name = oneLineName(txtName->text());
        if (name.isEmpty())
            return;
        // The box shows the name as it is stored.
        if (name != txtName->text())
            txtName->setText(name);
        modCofra::SetBusyCursor(true);
        emit saveChosen(name);
        return;
    }
    const qint64 id = selectedID();
    if (id == 0)
        return;
    modCofra::SetBusyCursor(true);
    emit openChosen(id, selectedName());
}

void frmOpenSave::cmdClose_Click() {
    modCofra::SetBusyCursor(false);
    if (QWidget* main = parentWidget())
        main->activateWindow();
    unload();
}

void frmOpenSave::cmdDelete_Click() {
    const qint64 id = selectedID();
    if (id == 0)
        return;
    platform::MessageBoxSpec question;
    question.title = QStringLiteral("Delete ") + txtName->text() + QLatin1Char('?');
    question.text = question.title + QStringLiteral("\r\nAre you sure?");
    question.icon = platform::MsgIcon::Exclamation;
    question.buttons = QMessageBox::Yes | QMessageBox::No;
    if (platform::MessageBoxes::show(this, question) == QMessageBox::No)
        return;
    // The id alone could be another entry's by now: another copy of the program
    // may have deleted this one and given its id to a new entry.
    const QString name = selectedName();
    const store::Outcome deleted = modCofra::DeleteRecord(QLatin1String(TableName), QLatin1String(IdField),
                                                          id, QLatin1String(NameField), name);
    if (deleted.changedElsewhere)
        tellChangedElsewhere(this, name, Change::Delete);
    // Refilled whatever the outcome, so that the list shows the entries as they are.
    RefreshNameList();
}
