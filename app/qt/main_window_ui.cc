#include "app/qt/main_window_ui.h"

#include <QFocusEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/window_rules.h"

namespace vorn {
namespace {

// The settings: as large as their contents ask for (a scroll area caps
// that), never narrower than their contents, but as low as a few lines.
class SettingsArea : public QScrollArea {
 public:
  QSize sizeHint() const override {
    const int frame = 2 * frameWidth();
    return widget()->sizeHint() + QSize(frame, frame);
  }
  QSize minimumSizeHint() const override {
    const int frame = 2 * frameWidth();
    return {widget()->minimumSizeHint().width() + frame +
                verticalScrollBar()->sizeHint().width(),
            fontMetrics().height() * 4 + frame};
  }
};

// A link in the link colour of the window's palette (light on a dark
// theme), that the keyboard reaches with one Tab and opens with Return,
// Enter or Space, as the mouse does with a click.
class LinkLabel : public QLabel {
 public:
  explicit LinkLabel(const QString& caption) : caption_(caption) {
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                            Qt::LinksAccessibleByKeyboard);
    setFocusPolicy(Qt::StrongFocus);
    ShowLink();
  }

 protected:
  void changeEvent(QEvent* event) override {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) ShowLink();
  }
  void focusInEvent(QFocusEvent* event) override {
    QLabel::focusInEvent(event);
    if (event->reason() == Qt::TabFocusReason ||
        event->reason() == Qt::BacktabFocusReason)
      QLabel::focusNextPrevChild(event->reason() == Qt::TabFocusReason);
  }
  void keyPressEvent(QKeyEvent* event) override {
    switch (event->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Space:
        emit linkActivated(QStringLiteral("manual"));
        return;
      default:
        QLabel::keyPressEvent(event);
    }
  }

 private:
  // The colour goes into the text: a link's colour is fixed when its text
  // is set.
  void ShowLink() {
    setText(QStringLiteral("<a href=\"manual\" style=\"color: %1\">%2</a>")
                .arg(palette().color(QPalette::Link).name(),
                     caption_.toHtmlEscaped()));
  }

  QString caption_;
};

// The output box: twelve lines at the window's natural size, four at its
// smallest.
class OutputBox : public QPlainTextEdit {
 public:
  QSize sizeHint() const override {
    return {QPlainTextEdit::sizeHint().width(),
            fontMetrics().lineSpacing() * 12 + 2 * frameWidth()};
  }
  QSize minimumSizeHint() const override {
    return {QPlainTextEdit::minimumSizeHint().width(),
            fontMetrics().lineSpacing() * 4 + 2 * frameWidth()};
  }
};

template <typename W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

// A button whose caption gets an accelerator on one of `letters`.
QPushButton* Button(const char* name, const char* caption,
                    const char* letters = "") {
  return Named(new QPushButton(QString::fromLatin1(
                   AcceleratedCaption(caption, letters).c_str())),
               name);
}

QLabel* Label(const char* name, const char* caption) {
  return Named(new QLabel(QString::fromLatin1(caption)), name);
}

QCheckBox* CheckBox(const char* name, const char* caption) {
  return Named(new QCheckBox(QString::fromLatin1(caption)), name);
}

QLineEdit* TextBox(const char* name, bool fixed_pitch) {
  QLineEdit* box = Named(new QLineEdit, name);
  if (fixed_pitch) box->setFont(FixedPitchFont());
  return box;
}

struct ListDesign {
  SettingsList list;
  const char* combo;
  const char* label;
  const char* caption;
};
constexpr ListDesign kLists[] = {
    {SettingsList::kTitleWeight, "cboTitleWeight", "lblTitleWeight",
     "TITLE weight:"},
    {SettingsList::kDescriptionWeight, "cboDescriptionWeight",
     "lblDescriptionWeight", "Description weight:"},
    {SettingsList::kExistingKeywordsWeight, "cboExistingKeywordsWeight",
     "lblExistingkeywordsWeight", "Existing keywords weight:"},
    {SettingsList::kBoldWeight, "cboBoldWeight", "lblBoldWeight",
     "Bold/strong weight:"},
    {SettingsList::kItalicWeight, "cboItalicWeight", "lblItalicWeight",
     "Italic/emphasis weight:"},
    {SettingsList::kTableWeight, "cboTableWeight", "lblTableWeight",
     "TABLE weight:"},
    {SettingsList::kDivWeight, "cboDivWeight", "lblDivWeight", "DIV weight:"},
    {SettingsList::kSpanWeight, "cboSpanWeight", "lblSpanWeight",
     "SPAN weight:"},
    {SettingsList::kShortWordSize, "cboShortWordSize", nullptr, nullptr},
    {SettingsList::kThresholdFrequency, "cboThresholdFrequency",
     "lblThresholdFrequency", "Minimum frequency for word:"},
};

void AddListRow(QGridLayout* grid, int row, const SettingsListControl& c) {
  c.label->setBuddy(c.combo);  // names the list for screen readers
  grid->addWidget(c.label, row, 0);
  grid->addWidget(c.combo, row, 1);
}

QLayout* InputRows(MainWindowUi* ui) {
  auto* grid = new QGridLayout;
  ui->optSingleFile = Named(new QRadioButton, "optSingleFile");
  ui->optMultipleFiles = Named(new QRadioButton, "optMultipleFiles");
  ui->cmdInputFile = Button("cmdInputFile", "Single file", "N");
  ui->txbInputFile = TextBox("txbInputFile", true);
  ui->cmdClearInputFile = Button("cmdClearInputFile", "Clear");
  ui->cmdFolder = Button("cmdFolder", "Folder", "O");
  ui->txbFolder = TextBox("txbFolder", true);
  ui->cmdClearFolder = Button("cmdClearFolder", "Clear");
  grid->addWidget(ui->optSingleFile, 0, 0);
  grid->addWidget(ui->cmdInputFile, 0, 1);
  grid->addWidget(ui->txbInputFile, 0, 2);
  grid->addWidget(ui->cmdClearInputFile, 0, 3);
  grid->addWidget(ui->optMultipleFiles, 1, 0);
  grid->addWidget(ui->cmdFolder, 1, 1);
  grid->addWidget(ui->txbFolder, 1, 2);
  grid->addWidget(ui->cmdClearFolder, 1, 3);
  grid->setColumnStretch(2, 1);
  ui->txbInputFile->setAccessibleName(QStringLiteral("Input file"));
  ui->txbFolder->setAccessibleName(QStringLiteral("Folder"));
  // The mode buttons have no caption of their own: the buttons beside them
  // name what each mode works on.
  ui->optSingleFile->setAccessibleName(QStringLiteral("Single-file mode"));
  ui->optMultipleFiles->setAccessibleName(QStringLiteral("Multiple-file mode"));
  return grid;
}

QLayout* SettingsColumns(MainWindowUi* ui) {
  for (const ListDesign& design : kLists) {
    SettingsListControl& c = ui->lists[static_cast<std::size_t>(design.list)];
    c.list = design.list;
    c.combo = Named(new QComboBox, design.combo);
    if (design.label != nullptr) c.label = Label(design.label, design.caption);
  }
  ui->cboLanguage = Named(new QComboBox, "cboLanguage");
  ui->lblLanguageOfText = Label("lblLanguageOfText", "Language:");
  auto list = [&](SettingsList l) -> const SettingsListControl& {
    return ui->lists[static_cast<std::size_t>(l)];
  };

  auto* weights = new QGridLayout;
  AddListRow(weights, 0, list(SettingsList::kTitleWeight));
  AddListRow(weights, 1, list(SettingsList::kDescriptionWeight));
  AddListRow(weights, 2, list(SettingsList::kExistingKeywordsWeight));
  ui->lblLanguageOfText->setBuddy(ui->cboLanguage);
  weights->addWidget(ui->lblLanguageOfText, 3, 0);
  weights->addWidget(ui->cboLanguage, 3, 1);
  weights->setRowStretch(4, 1);
  weights->setColumnStretch(2, 1);

  auto* markup = new QGridLayout;
  AddListRow(markup, 0, list(SettingsList::kBoldWeight));
  AddListRow(markup, 1, list(SettingsList::kItalicWeight));
  AddListRow(markup, 2, list(SettingsList::kTableWeight));
  AddListRow(markup, 3, list(SettingsList::kDivWeight));
  AddListRow(markup, 4, list(SettingsList::kSpanWeight));
  markup->setRowStretch(5, 1);
  markup->setColumnStretch(2, 1);

  auto* words = new QGridLayout;
  AddListRow(words, 0, list(SettingsList::kThresholdFrequency));
  ui->chkIgnoreShortWords =
      CheckBox("chkIgnoreShortWords", "Ignore words with");
  ui->lblCharsOrLess = Label("lblCharsOrLess", "characters or less");
  auto* short_words = new QHBoxLayout;
  short_words->addWidget(ui->chkIgnoreShortWords);
  short_words->addWidget(list(SettingsList::kShortWordSize).combo);
  short_words->addWidget(ui->lblCharsOrLess);
  short_words->addStretch(1);
  words->addLayout(short_words, 1, 0, 1, 2);
  ui->chkIgnoreCommonWords =
      CheckBox("chkIgnoreCommonWords", "Ignore common words");
  ui->chkPreserveCase = CheckBox("chkPreserveCase", "Keep upper/lower case ");
  ui->chkSpaceAfterComma =
      CheckBox("chkSpaceAfterComma", "Spaces after commas ");
  ui->chkForwardSlash = CheckBox("chkForwardSlash", "close tag with ' />'");
  words->addWidget(ui->chkIgnoreCommonWords, 2, 0, 1, 2);
  words->addWidget(ui->chkPreserveCase, 3, 0, 1, 2);
  words->addWidget(ui->chkSpaceAfterComma, 4, 0, 1, 2);
  words->addWidget(ui->chkForwardSlash, 5, 0, 1, 2);
  words->setRowStretch(6, 1);
  words->setColumnStretch(2, 1);

  auto* columns = new QHBoxLayout;
  columns->addLayout(weights);
  columns->addSpacing(16);
  columns->addLayout(markup);
  columns->addSpacing(16);
  columns->addLayout(words);
  columns->addStretch(1);
  return columns;
}

QLayout* TextRows(MainWindowUi* ui) {
  auto* grid = new QGridLayout;
  ui->lblMaxNumKeywords =
      Label("lblMaxNumKeywords", "Maximum number of keywords in meta tag:");
  ui->txbMaxNumKeywordsInMetaTag = TextBox("txbMaxNumKeywordsInMetaTag", false);
  ui->lblMaxNumBytes =
      Label("lblMaxNumBytes", "Maximum number of bytes in meta tag:");
  ui->txbMaxNumBytesInMetaTag = TextBox("txbMaxNumBytesInMetaTag", false);
  for (QLineEdit* number :
       {ui->txbMaxNumKeywordsInMetaTag, ui->txbMaxNumBytesInMetaTag}) {
    number->setMaximumWidth(
        number->fontMetrics().horizontalAdvance(QStringLiteral("00000000")) +
        16);
  }
  ui->lblMaxNumKeywords->setBuddy(ui->txbMaxNumKeywordsInMetaTag);
  ui->lblMaxNumBytes->setBuddy(ui->txbMaxNumBytesInMetaTag);
  auto* numbers = new QHBoxLayout;
  numbers->addWidget(ui->lblMaxNumKeywords);
  numbers->addWidget(ui->txbMaxNumKeywordsInMetaTag);
  numbers->addSpacing(24);
  numbers->addWidget(ui->lblMaxNumBytes);
  numbers->addWidget(ui->txbMaxNumBytesInMetaTag);
  numbers->addStretch(1);
  grid->addLayout(numbers, 0, 0, 1, 3);

  ui->lblBeginMetaTagWith =
      Label("lblBeginMetaTagWith", "Begin meta tag with:");
  ui->txbBeginMetaTagWith = TextBox("txbBeginMetaTagWith", true);
  ui->cmdClearBeginMetaTagWith = Button("cmdClearBeginMetaTagWith", "Clear");
  ui->lblBeginMetaTagWith->setBuddy(ui->txbBeginMetaTagWith);
  grid->addWidget(ui->lblBeginMetaTagWith, 1, 0);
  grid->addWidget(ui->txbBeginMetaTagWith, 1, 1);
  grid->addWidget(ui->cmdClearBeginMetaTagWith, 1, 2);
  ui->lblIgnoreTheseWords = Label("lblIgnoreTheseWords", "Ignore these words:");
  ui->txbWordsToIgnore = TextBox("txbWordsToIgnore", true);
  ui->cmdClearWordsToIgnore = Button("cmdClearWordsToIgnore", "Clear");
  ui->lblIgnoreTheseWords->setBuddy(ui->txbWordsToIgnore);
  grid->addWidget(ui->lblIgnoreTheseWords, 2, 0);
  grid->addWidget(ui->txbWordsToIgnore, 2, 1);
  grid->addWidget(ui->cmdClearWordsToIgnore, 2, 2);
  grid->setColumnStretch(1, 1);
  return grid;
}

QLayout* CommandRow(MainWindowUi* ui) {
  ui->cmdListWords = Button("cmdListWords", "List words", kListWordsLetters);
  ui->cmdGenerateKeywordMetaTag =
      Button("cmdGenerateKeywordMetaTag", "Generate/show keywords meta tag",
             kGenerateLetters);
  ui->cmdShowExistingKeywordMetaTag =
      Button("cmdShowExistingKeywordMetaTag", "Show existing keywords etc.",
             kShowExistingLetters);
  ui->cmdViewReport = Button("cmdViewReport", "View report", "V");
  auto* row = new QHBoxLayout;
  row->addWidget(ui->cmdListWords);
  row->addWidget(ui->cmdGenerateKeywordMetaTag);
  row->addWidget(ui->cmdShowExistingKeywordMetaTag);
  row->addWidget(ui->cmdViewReport);
  row->addStretch(1);
  return row;
}

QLayout* StatusRow(MainWindowUi* ui) {
  ui->lblNumberOfWords = Label("lblNumberOfWords", "");
  ui->lblMetaTagInserted = Label("lblMetaTagInserted", "");
  ui->prgFilesDone = Named(new QProgressBar, "prgFilesDone");
  ui->prgFilesDone->setFormat(QStringLiteral("%v of %m files"));
  ui->prgFilesDone->setVisible(false);
  auto* row = new QHBoxLayout;
  row->addWidget(ui->lblNumberOfWords, 1);
  row->addWidget(ui->lblMetaTagInserted);
  row->addWidget(ui->prgFilesDone);
  return row;
}

QFrame* BottomFrame(MainWindowUi* ui) {
  ui->Frame1 = Named(new QFrame, "Frame1");
  ui->cmdInsert = Button("cmdInsert", "Insert meta tag into file", "I");
  ui->cmdClearOutput = Button("cmdClearOutput", "Clear", "C");
  ui->cmdReset = Button("cmdReset", "Restore defaults", "D");
  ui->cmdHelp = Button("cmdHelp", "Help");
  ui->chkLargeWindow = CheckBox("chkLargeWindow", "Large window");
  ui->chkLargeWindow->setText(QStringLiteral("Large &window"));
  ui->lblOnlineDocumentation =
      Named(new LinkLabel(QStringLiteral("Online user manual")),
            "lblOnlineDocumentation");
  ui->cmdQuit = Button("cmdQuit", "Quit", "Q");
  auto* row = new QHBoxLayout(ui->Frame1);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(ui->cmdInsert);
  row->addWidget(ui->cmdClearOutput);
  row->addWidget(ui->cmdReset);
  row->addWidget(ui->cmdHelp);
  row->addWidget(ui->chkLargeWindow);
  row->addStretch(1);
  row->addWidget(ui->lblOnlineDocumentation);
  row->addSpacing(16);
  row->addWidget(ui->cmdQuit);
  return ui->Frame1;
}

}  // namespace

QFont FixedPitchFont() {
  return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

void BuildMenus(QMainWindow* window, MainWindowUi* ui) {
  QMenuBar* bar = window->menuBar();
  auto add = [window](QMenu* menu, const char* name, const QString& text,
                      const QKeySequence& keys = {}) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    window->addAction(action);  // its shortcut works with the menu closed
    return action;
  };
  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  ui->actOpenPage = add(file, "actOpenPage", QStringLiteral("&Open page..."),
                        QKeySequence::Open);
  ui->actOpenFolder =
      add(file, "actOpenFolder", QStringLiteral("Open &folder..."),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
  ui->mnuRecent = file->addMenu(QStringLiteral("&Recent pages and folders"));
  ui->mnuRecent->setObjectName(QStringLiteral("mnuRecent"));
  file->addSeparator();
  ui->actSaveState = add(file, "actSaveState", QStringLiteral("&Save state"),
                         QKeySequence::Save);
  file->addSeparator();
  ui->actQuit = add(file, "actQuit", QStringLiteral("&Quit"),
                    QKeySequence(Qt::CTRL | Qt::Key_Q));
  QMenu* run = bar->addMenu(QStringLiteral("&Run"));
  ui->actListWords = add(run, "actListWords", QStringLiteral("&List words"));
  ui->actGenerate = add(run, "actGenerate", QStringLiteral("&Generate"));
  ui->actInsert =
      add(run, "actInsert", QStringLiteral("&Insert meta tag into file"));
  run->addSeparator();
  ui->actStop = add(run, "actStop", QStringLiteral("&Stop"),
                    QKeySequence(Qt::Key_Escape));
  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  ui->actHelp =
      add(help, "actHelp", QStringLiteral("&Help"), QKeySequence::HelpContents);
  ui->actManual = add(help, "actManual", QStringLiteral("Online user &manual"));
  help->addSeparator();
  ui->actAbout = add(help, "actAbout", QStringLiteral("&About VORN"));
}

void BuildMainWindowUi(QMainWindow* window, MainWindowUi* ui) {
  auto* central = new QWidget(window);
  auto* column = new QVBoxLayout(central);
  column->addLayout(InputRows(ui));
  auto* settings = new QWidget;
  auto* settings_column = new QVBoxLayout(settings);
  settings_column->setContentsMargins(0, 0, 0, 0);
  settings_column->addLayout(SettingsColumns(ui));
  settings_column->addSpacing(6);
  settings_column->addLayout(TextRows(ui));
  ui->settingsArea = Named(new SettingsArea, "settingsArea");
  ui->settingsArea->setWidget(settings);
  ui->settingsArea->setWidgetResizable(true);
  ui->settingsArea->setFrameShape(QFrame::NoFrame);
  ui->settingsArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  column->addWidget(ui->settingsArea);
  column->addLayout(CommandRow(ui));
  column->addLayout(StatusRow(ui));
  ui->txbMetaTAG = Named(new OutputBox, "txbMetaTAG");
  ui->txbMetaTAG->setFont(FixedPitchFont());
  ui->txbMetaTAG->setTabChangesFocus(true);
  ui->txbMetaTAG->setAccessibleName(QStringLiteral("Output"));
  column->addWidget(ui->txbMetaTAG, 1);
  column->addWidget(BottomFrame(ui));
  window->setCentralWidget(central);
  BuildMenus(window, ui);
}

}  // namespace vorn
