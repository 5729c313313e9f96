#include "rhymewindow.h"

#include "count.h"
#include "errorreport.h"
#include "lessonview.h"
#include "numberreader.h"
#include "ownprocedure.h"
#include "programscale.h"
#include "prompt.h"
#include "twips.h"
#include "unfolding.h"
#include "versecalls.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>

namespace {

const QRect versesTwips{240, 120, 5175, 2775};
constexpr double versesPoints = 8.25;

QPushButton *addButton(ProgramScale *scale, QWidget *parent, const QString &text, QRect twips)
{
    auto *button = new QPushButton(text, parent);
    scale->place(button, twips);
    button->setAutoDefault(false);
    return button;
}

} // namespace

namespace countdown {

Form1::Form1(QWidget *parent) : QWidget(parent), programScale(new ProgramScale(this, {5670, 4395}))
{
    setWindowTitle(QStringLiteral("10 негритят! "));

    Command1 = addButton(programScale, this, QStringLiteral("Выход"), {3600, 3720, 975, 495});
    Command2 = addButton(programScale, this, QStringLiteral("Пуск"), {720, 3720, 975, 495});
    Text1 = new QPlainTextEdit(this);
    programScale->place(Text1, versesTwips, versesPoints, true);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setTabChangesFocus(true);
    Text1->setAccessibleName(QStringLiteral("Стихи"));
    Command3 = addButton(programScale, this, QStringLiteral("Сброс"), {2160, 3720, 975, 495});
    Text2 = new QLineEdit(this);
    programScale->place(Text2, {2160, 3120, 975, 495}, 12, true);
    Text2->setAccessibleName(QStringLiteral("Количество"));
    Label1 = new QLabel(QStringLiteral("n"), this);
    programScale->place(Label1, {1560, 3240, 495, 255}, 9.75, true);
    Label1->setAlignment(Qt::AlignCenter);

    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Text1);
    setTabOrder(Text1, Command3);
    setTabOrder(Command3, Text2);
    Command1->setFocus();

    // The verse box's menu chooses the pace and the scale; "Пуск" first finishes the verse
    // that is being written, then starts anew.
    unfolding = new Unfolding(this, QStringLiteral("Писать"));
    calls = new VerseCalls(this, Text1, verses, unfolding);
    Text1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Text1, &QWidget::customContextMenuRequested, this, &Form1::showVerseMenu);
    lessonView = new LessonView(this, programScale,
                                {nullptr,
                                 Text1,
                                 false,
                                 [this](QSize size) { growVerses(size); },
                                 {Label1, Text2, Command2, Command3, Command1}});
    ownProcedure
            = new OwnProcedure(OwnProgram::Verses, this, [this](std::shared_ptr<const OwnRun> run) {
                  writeOwnVerse(std::move(run));
              });
    connect(Command2, &QPushButton::clicked, unfolding, &Unfolding::finish);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
}

// Exit.
void Form1::Command1_Click()
{
    close();
}

// Start: ask for the count, show it, append its verse.
void Form1::Command2_Click()
{
    const std::optional<QString> typed
            = InputPrompt(this, QStringLiteral("введите кол-во негритят"), QStringLiteral("*_*"));
    if (!typed)
        return;
    const CountReading count = readCount(*typed);
    if (!count.ok()) {
        ErrorReport(this, windowTitle(), refusal(count.status, *typed));
        return;
    }
    n = count.value;
    Text2->setText(countText(n));
    verses = {};
    calls->beginVerse(unfolding->pace() != Pace::AtOnce);
    try {
        negr(n, verses);
    } catch (...) { // what was written before a failure stays in the box
        calls->clear();
        writeCalls(0, verses.callStarts.size());
        throw;
    }
    calls->endVerse();
    unfoldVerse();
}

// Each step is a run of lines one call printed; lines printed outside any call go with the
// step before them, or with the first.
void Form1::writeOwnVerse(std::shared_ptr<const OwnRun> run)
{
    unfolding->finish(); // as "Пуск" finishes what is being written first
    verses = {};
    const QStringList &printed = run->printed();
    qsizetype line = 0;
    for (const OwnRun::Outputs &end : run->stepEnds()) {
        verses.callStarts << verses.text.size();
        for (; line < end.printed; ++line)
            verses.text += QString(printed[line]).replace(u"\n"_qs, u"\r\n"_qs);
    }
    if (verses.callStarts.isEmpty() && !printed.isEmpty()) // no call printed
        verses.callStarts << 0;
    for (; line < printed.size(); ++line)
        verses.text += QString(printed[line]).replace(u"\n"_qs, u"\r\n"_qs);
    calls->beginVerse(unfolding->pace() != Pace::AtOnce);
    calls->takeOwnRun(std::move(run));
    unfoldVerse();
}

void Form1::unfoldVerse()
{
    unfolding->start(
            verses.callStarts.size(),
            [this](qsizetype first, qsizetype last) { writeCalls(first, last); },
            calls->rewinder());
}

// Adds what the calls first ... last - 1 of negr wrote to the end of the verse box.
void Form1::writeCalls(qsizetype first, qsizetype last)
{
    calls->dropPartial(first);
    QTextCursor end(Text1->document());
    end.movePosition(QTextCursor::End);
    // The box breaks lines at '\n'; a lone '\r' would break them a second time.
    end.insertText(verses.text.sliced(verses.start(first), verses.start(last) - verses.start(first))
                           .replace(u"\r\n"_qs, u"\n"_qs));
    if (unfolding->pace() != Pace::AtOnce) // the newest line stays in view
        Text1->verticalScrollBar()->setValue(Text1->verticalScrollBar()->maximum());
    if (!calls->follow(last) && last == verses.callStarts.size())
        verses = {};
}

// The standard text items, then the pace items and the scale items.
void Form1::showVerseMenu(const QPoint &position)
{
    const std::unique_ptr<QMenu> menu(Text1->createStandardContextMenu());
    ProgramScale::setScaledFont(menu.get(), programScale->percent());
    menu->addSeparator();
    menu->addActions(unfolding->paceActions());
    menu->addSeparator();
    menu->addActions(programScale->actions());
    menu->addAction(lessonView->action());
    menu->addSeparator();
    menu->addAction(ownProcedure->showAction());
    menu->addAction(calls->showAction());
    menu->addAction(calls->drawnTreeAction());
    menu->exec(Text1->viewport()->mapToGlobal(position));
}

// The verse box of this size in the lesson view, its text grown with it.
void Form1::growVerses(QSize size)
{
    const QSize own = ProgramScale::fromTwips(versesTwips, programScale->percent()).size();
    const double grown
            = std::min(double(size.width()) / own.width(), double(size.height()) / own.height());
    Text1->resize(size);
    Text1->setFont(formFont(versesPoints * programScale->percent() / 100 * grown, true));
}

// Reset: empties the verse box only.
void Form1::Command3_Click()
{
    calls->clear();
    verses = {}; // what was left of a stopped verse
    Text1->clear();
}

QString Form1::refusal(CountReading::Status status, const QString &typed) const
{
    switch (status) {
    case CountReading::OutOfRange:
        return QStringLiteral("Переполнение: «%1» — число должно быть от -32768 до 32767.")
                .arg(quotedInput(typed));
    case CountReading::Negative:
        return QStringLiteral("Количество не может быть отрицательным: «%1».")
                .arg(quotedInput(typed));
    case CountReading::NotANumber:
    case CountReading::Count:
        break;
    }
    return typeMismatchMessage(typed);
}

} // namespace countdown
