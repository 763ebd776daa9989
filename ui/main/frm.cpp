#include "ui/main/frm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QHelpEvent>
#include <QMenuBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>

#include "core/IndexCounts.h"
#include "core/modRecolor.h"
#include "png/ImageFile.h"
#include "settings/WindowPlacement.h"
#include "shell/clsHelpViewer.h"
#include "shell/modHelp.h"
#include "ui/about/frmAbout.h"
#include "ui/main/modPathEllipsis.h"
#include "ui/toolkit/AppInfo.h"
#include "ui/toolkit/BatchMessageBox.h"
#include "ui/toolkit/DialogCentring.h"
#include "ui/toolkit/QtBatchProgress.h"
#include "ui/toolkit/Translations.h"
#include "workspace/FolderListing.h"

namespace tintwell {

namespace {

// Designed geometry, in twips.
constexpr double kClientWidth = 6990;
constexpr double kClientHeight = 5055;
constexpr double kMinOuterWidth = 6225;
constexpr double kMinOuterHeight = 5895;
constexpr double kMargin = 120;
constexpr double kFrameOutset = 15;
const QRectF kFolderLabel(120, 120, 5535, 315);
const QRectF kBrowse(5640, 120, 315, 315);
const QRectF kFileList(120, 480, 1695, 3990);
const QRectF kRefresh(120, 4560, 1575, 315);
const QRectF kRecolor(1920, 4680, 4095, 315);
// The information column keeps clear of the grid and its marker frames.
constexpr double kInfoLeft = 6090;
constexpr double kGroupTop[3] = {480, 1800, 3120};
const char* const kGroupHeading[3] = {QT_TRANSLATE_NOOP("tintwell::frm", "Selected"),
                                      QT_TRANSLATE_NOOP("tintwell::frm", "Mouse Over"),
                                      QT_TRANSLATE_NOOP("tintwell::frm", "Mapping To")};

bool IsOrdinaryFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

}  // namespace

std::string ColorNumText(std::uint8_t c) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", c);
    return std::to_string(c) + " (" + hex + "h)";
}

std::string ColorRGBText(ColorValue color) {
    return "R: " + std::to_string(color & 0xFF) + "\nG: " + std::to_string((color >> 8) & 0xFF) +
           "\nB: " + std::to_string((color >> 16) & 0xFF) + "\n";
}

frm::frm(Application& app, IBatchProgress* progress)
    : app_(app), units_(ScreenUnits::ForWidget(this)), progress_(progress) {
    setObjectName("frm");
    setWindowTitle(QString::fromLocal8Bit(AppInfo::Title()));
    setFont(DesignFont(font()));
    if (progress_ == nullptr) {
        ownProgress_ = std::make_unique<QtBatchProgress>(this);
        progress_ = ownProgress_.get();
    }
    BuildMenus();
    BuildControls();
    colorMaps_ = new ColorMapMenus(*this, app_, mnuOptions);
    dialogs_ = new FileDialogCommands(*this, app_, mnuOptions);
    undo_ = new UndoCommands(*this, app_, colorMaps_->mnuColorMap);
    restore_ = new RestoreCommand(*this, app_);
    open_ = new OpenCommands(*this, app_);
    recent_ = new RecentFoldersMenu(*this, app_);
    placement_ = new QtPlacementWindow(*this);
    // The dialogs of the program open centred over the window that owns them.
    QCoreApplication::instance()->installEventFilter(new DialogCentring(this));
}

frm::~frm() {
    // A window that was never unloaded stores nothing; its preview just goes.
    delete view_.data();
}

QSize frm::DesignedClientSize() const {
    const QSize designed = units_.SizeToPixels(kClientWidth, kClientHeight);
    // Wide enough for the information column in the toolkit's font.
    return designed.expandedTo(
        QSize(lbl[0]->geometry().right() + 1 + units_.XToPixels(kMargin), 0));
}

void frm::BuildMenus() {
    mnuFile = menuBar()->addMenu(tr("&File"));
    mnuFile->setObjectName("mnuFile");
    mnuFileExit = mnuFile->addAction(tr("E&xit"));
    mnuFileExit->setObjectName("mnuFileExit");
    mnuFileExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(mnuFileExit, &QAction::triggered, this, [this] { mnuFileExit_Click(); });

    mnuOptions = menuBar()->addMenu(tr("&Options"));
    mnuOptions->setObjectName("mnuOptions");
    // The actions keep their check mark under the handlers' control: Qt's own
    // toggle is undone before the handler inverts the mark (or, while
    // closing, leaves it alone).
    auto addOption = [this](const char* name, const char* caption, void (frm::*handler)()) {
        QAction* a = mnuOptions->addAction(tr(caption));
        a->setObjectName(name);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, a, handler](bool checked) {
            a->setChecked(!checked);
            (this->*handler)();
        });
        return a;
    };
    mnuOptionsShowPreview = addOption("mnuOptionsShowPreview", QT_TR_NOOP("Show &Preview"),
                                      &frm::mnuOptionsShowPreview_Click);
    mnuOptionsBackupBMPs = addOption("mnuOptionsBackupBMPs", QT_TR_NOOP("&Backup BMPs"),
                                     &frm::mnuOptionsBackupBMPs_Click);
    mnuOptionsRecolorOutside =
        addOption("mnuOptionsRecolorOutside", QT_TR_NOOP("Recolor &outside of selection"),
                  &frm::mnuOptionsRecolorOutside_Click);
    mnuOptionsDimUnused = addOption("mnuOptionsDimUnused", QT_TR_NOOP("&Dim Unused Colors"),
                                    &frm::mnuOptionsDimUnused_Click);

    mnuHelp = menuBar()->addMenu(tr("&Help"));
    mnuHelp->setObjectName("mnuHelp");
    mnuHelpContents = mnuHelp->addAction(tr("&Contents"));
    mnuHelpContents->setObjectName("mnuHelpContents");
    mnuHelpContents->setShortcut(QKeySequence(Qt::Key_F1));
    connect(mnuHelpContents, &QAction::triggered, this, [this] { mnuHelpContents_Click(); });
    mnuHelp->addSeparator()->setObjectName("mnuHelpDash");
    mnuHelpAbout = mnuHelp->addAction(tr("&About"));
    mnuHelpAbout->setObjectName("mnuHelpAbout");
    connect(mnuHelpAbout, &QAction::triggered, this, [this] { mnuHelpAbout_Click(); });
}

void frm::mnuHelpContents_Click() {
    const QString helpFile = HelpFileIn(QString::fromLocal8Bit(app_.Info().DataFolder()));
    ShowHelpTopic(kHelpContentsContext, helpFile, helpFile, *clsHelpViewer::For(this),
                  app_.Messages());
}

void frm::mnuHelpAbout_Click() {
    frmAbout about(this, app_.Messages());
    about.exec();
}

QLabel* frm::MakeLabel(const QString& name, const QString& text, const QRectF& twips) {
    auto* l = new QLabel(text, centralWidget());
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setGeometry(units_.RectToPixels(twips.x(), twips.y(), twips.width(), twips.height()));
    return l;
}

void frm::BuildControls() {
    auto* client = new QWidget(this);
    client->setObjectName("client");
    setCentralWidget(client);
    client->installEventFilter(this);

    lblFolder = MakeLabel("lblFolder", "", kFolderLabel);
    lblFolder->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    lblFolder->setTextInteractionFlags(Qt::NoTextInteraction);

    cmdBrowse = new QPushButton("...", client);
    cmdBrowse->setObjectName("cmdBrowse");
    cmdBrowse->setGeometry(
        units_.RectToPixels(kBrowse.x(), kBrowse.y(), kBrowse.width(), kBrowse.height()));

    File = new QListWidget(client);
    File->setObjectName("File");
    File->setSelectionMode(QAbstractItemView::ExtendedSelection);
    File->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Every entry is one line of text: no per-entry measuring in folders of thousands.
    File->setUniformItemSizes(true);
    File->setGeometry(
        units_.RectToPixels(kFileList.x(), kFileList.y(), kFileList.width(), kFileList.height()));
    connect(File, &QListWidget::currentRowChanged, this, [this] { File_Click(); });
    File->viewport()->installEventFilter(this);
    lblNoFiles = new QLabel(tr("This folder holds no BMP files."), File->viewport());
    lblNoFiles->setObjectName("lblNoFiles");
    lblNoFiles->setWordWrap(true);
    lblNoFiles->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblNoFiles->setEnabled(false);
    lblNoFiles->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblNoFiles->hide();

    lblColor = new PaletteGrid(units_, client);
    lblColor->SetMap(&app_.Map());
    lblColor->onMouseDown = [this](int i, int b) { lblColor_MouseDown(i, b, 0, 0, 0); };
    lblColor->onMouseMove = [this](int i, int b) { lblColor_MouseMove(i, b, 0, 0, 0); };

    for (int g = 0; g < 3; ++g) {
        const double top = kGroupTop[g];
        lbl[g] = MakeLabel(QString("lbl%1").arg(g), tr(kGroupHeading[g]),
                           QRectF(kInfoLeft, top, 975, 255));
        QFont f = lbl[g]->font();
        f.setUnderline(true);
        lbl[g]->setFont(f);
        QPalette p = lbl[g]->palette();
        p.setColor(QPalette::WindowText,
                   PaletteGrid::FrameColor(static_cast<PaletteGrid::Frame>(g)));
        lbl[g]->setPalette(p);
        lblColorNum[g] = MakeLabel(QString("lblColorNum%1").arg(g), "0 (00h)",
                                   QRectF(kInfoLeft, top + 240, 855, 255));
        lblColorRGB[g] =
            MakeLabel(QString("lblColorRGB%1").arg(g), "", QRectF(kInfoLeft, top + 480, 855, 675));
        lblColorRGB[g]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    // The column is as wide as its widest text can be.
    const QFontMetrics numbers(lblColorNum[0]->font());
    int infoWidth =
        std::max(numbers.horizontalAdvance("255 (FFh)"), numbers.horizontalAdvance("G: 255"));
    for (QLabel* heading : lbl)
        infoWidth = std::max({infoWidth, heading->width(), heading->sizeHint().width()});
    for (int g = 0; g < 3; ++g) {
        for (QLabel* l : {lbl[g], lblColorNum[g], lblColorRGB[g]})
            l->resize(std::max(l->width(), infoWidth), l->height());
    }

    cmdRefreshFiles = new QPushButton(tr("Refresh File &List"), client);
    cmdRefreshFiles->setObjectName("cmdRefreshFiles");
    cmdRefreshFiles->setGeometry(
        units_.RectToPixels(kRefresh.x(), kRefresh.y(), kRefresh.width(), kRefresh.height()));
    connect(cmdRefreshFiles, &QPushButton::clicked, this, [this] { cmdRefreshFiles_Click(); });

    cmdRecolor = new QPushButton(tr("&Recolor Selected BMPs"), client);
    cmdRecolor->setObjectName("cmdRecolor");
    cmdRecolor->setGeometry(
        units_.RectToPixels(kRecolor.x(), kRecolor.y(), kRecolor.width(), kRecolor.height()));
    connect(cmdRecolor, &QPushButton::clicked, this, [this] { cmdRecolor_Click(); });
    cmdRecolor->setEnabled(false);
    connect(File, &QListWidget::itemSelectionChanged, this,
            [this] { cmdRecolor->setEnabled(!File->selectedItems().isEmpty()); });

    // F5 recolours from this window as from the preview.
    auto* recolorKey = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(recolorKey, &QShortcut::activated, this, [this] { cmdRecolor_Click(); });

    setTabOrder(File, lblColor);
    setTabOrder(lblColor, cmdBrowse);
    setTabOrder(cmdBrowse, cmdRecolor);
    setTabOrder(cmdRecolor, cmdRefreshFiles);

    statusBar()->setObjectName("sbStatus");
    statusBar()->setSizeGripEnabled(false);
    client->resize(DesignedClientSize());
    resize(DesignedClientSize() +
           QSize(0, menuBar()->sizeHint().height() + statusBar()->sizeHint().height()));
}

// --- lifecycle and options -------------------------------------------------------

void frm::Form_Load(const std::vector<std::string>& openPaths) {
    if (loaded_) return;
    loaded_ = true;
    limits_ = std::make_unique<clsResizeLimits>();
    limits_->AddLimits(this, kMinOuterWidth, kMinOuterHeight, 0, 0);
    limits_->KeepInnerAtLeast(this, QSize(DesignedClientSize().width(), 0));

    SettingsFile& settings = app_.Settings();
    settings.Load();
    colorMaps_->BuildColorMapMenus();
    RestoreWindowPlacement(settings.Ini(), *placement_, SettingsFile::kMainPlacement);
    mnuOptionsShowPreview->setChecked(settings.Preview());
    mnuOptionsBackupBMPs->setChecked(settings.BackupBMPs());
    mnuOptionsRecolorOutside->setChecked(settings.RecolorOutside());
    mnuOptionsDimUnused->setChecked(settings.DimUnused());
    SetFolderLabel(lblFolder, settings.FolderToList().string());

    app_.History().StartFrom(settings.RecolorMap());

    lblColor_MouseDown(0, 1, 0, 0, 0);
    ShowColor(PaletteGrid::shpSel, 0);
    // The windows are up before any file is loaded, so that whatever is said
    // about a file stands over them; then the one file asked for is loaded once.
    show();
    if (mnuOptionsShowPreview->isChecked()) View()->show();
    if (openPaths.empty() || !open_->OpenFromCommandLine(openPaths)) SetFileListFolder(folderTag_);
}

void frm::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    isClosing_ = true;
    SaveWindowPlacement(app_.Settings().Ini(), *placement_, SettingsFile::kMainPlacement);
    if (frmView* v = view_.data()) {
        v->ClearPreviewBitmap();
        v->Unload();
        delete v;
    }
}

void frm::closeEvent(QCloseEvent* event) {
    if (!unloaded_ && colorMaps_->Form_QueryUnload()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void frm::mnuFileExit_Click() {
    close();
}

void frm::mnuOptionsShowPreview_Click() {
    if (isClosing_) return;
    const bool on = !mnuOptionsShowPreview->isChecked();
    mnuOptionsShowPreview->setChecked(on);
    app_.Settings().SetPreview(on);
    if (!on) {
        if (frmView* v = view_.data()) v->hide();
        return;
    }
    View()->show();
    File_Click();
}

void frm::mnuOptionsBackupBMPs_Click() {
    const bool on = !mnuOptionsBackupBMPs->isChecked();
    mnuOptionsBackupBMPs->setChecked(on);
    app_.Settings().SetBackupBMPs(on);
}

void frm::mnuOptionsDimUnused_Click() {
    const bool on = !mnuOptionsDimUnused->isChecked();
    mnuOptionsDimUnused->setChecked(on);
    app_.Settings().SetDimUnused(on);
    if (!on) {
        lblColor->SetCounts({});
    } else if (const frmView* v = view_.data();
               v && v->PreviewBitmap() && mnuOptionsShowPreview->isChecked()) {
        lblColor->SetCounts(CountIndices(*v->PreviewBitmap()));
    } else {
        File_Click(false);  // read with its pixels, to count them
    }
}

void frm::mnuOptionsRecolorOutside_Click() {
    if (isClosing_) return;
    const bool on = !mnuOptionsRecolorOutside->isChecked();
    mnuOptionsRecolorOutside->setChecked(on);
    View()->DoPreview();
    app_.Settings().SetRecolorOutside(on);
}

// --- preview ---------------------------------------------------------------------

frmView* frm::View() {
    if (view_.isNull()) {
        if (!limits_) limits_ = std::make_unique<clsResizeLimits>();
        const bool placedBefore =
            !app_.Settings().Ini().ReadString(SettingsFile::kPreviewPlacement, "Left").empty();
        auto* v = new frmView(app_, *this, *limits_, this);
        // The menu commands' shortcut keys work in the preview too.
        for (QAction* command : findChildren<QAction*>())
            if (!command->shortcut().isEmpty()) v->addAction(command);
        AddMenuAccessKeys(*v);
        view_ = v;
        v->Form_Load();
        // With no stored placement the preview opens beside this window rather
        // than on top of it at the screen's corner.
        if (!placedBefore)
            v->MoveFrame(QPoint(frameGeometry().right() + 1 + units_.XToPixels(kMargin),
                                frameGeometry().top()));
    }
    return view_.data();
}

// Alt and a menu's access key opens that menu from `window` too: this window
// comes forward with the menu open, as if the key had been pressed here.
void frm::AddMenuAccessKeys(QWidget& window) {
    for (QAction* menu : menuBar()->actions()) {
        const QKeySequence key = QKeySequence::mnemonic(menu->text());
        if (key.isEmpty()) continue;
        auto* opener = new QAction(&window);
        opener->setShortcut(key);
        connect(opener, &QAction::triggered, this, [this, menu] {
            activateWindow();
            menuBar()->setActiveAction(menu);
        });
        window.addAction(opener);
    }
}

bool frm::RecolorOutsideTicked() const {
    return mnuOptionsRecolorOutside->isChecked();
}

void frm::PreviewUnloading() {
    mnuOptionsShowPreview->setChecked(false);
    view_ = nullptr;
}

// --- palette grid -----------------------------------------------------------------

namespace {

// The file at `path` read once (a BMP or an indexed PNG), as far as `parts`
// says; null when there is no ordinary file there. A file that cannot be read
// loads as nothing.
std::unique_ptr<clsBitmap> LoadBitmap(const std::string& path, BitmapParts parts, ImageLoad& image,
                                      bool& loaded) {
    loaded = false;
    if (!IsOrdinaryFile(path)) return nullptr;
    auto bitmap = std::make_unique<clsBitmap>();
    try {
        loaded = LoadImageFile(path, *bitmap, parts, &image);
    } catch (const std::exception&) {
        loaded = false;  // unreadable: treated like any file that cannot be loaded
    }
    return bitmap;
}

}  // namespace

bool frm::LoadPalette(const std::string& path, bool report) {
    ImageLoad image;
    bool loaded = false;
    // The palette is all it needs (and a PNG's transparency).
    const std::unique_ptr<clsBitmap> bitmap = LoadBitmap(path, BitmapParts::Headers, image, loaded);
    return bitmap && LoadPaletteFrom(*bitmap, image, loaded, path, report);
}

bool frm::LoadPaletteFrom(const clsBitmap& bitmap, const ImageLoad& image, bool loaded,
                          const std::string& path, bool report) {
    if (!loaded || bitmap.BitCount() != 8) {
        if (!report) return false;
        MessageRequest r;
        r.text =
            image.png
                ? tr("Cannot load palette: %1.").arg(Translations::OfLogic(image.why)).toStdString()
                : tr("Cannot load palette. BMP is not 8 bit (256 colors).").toStdString();
        // The text names no file: the title does.
        r.title = Translations::Fill(
            image.png ? tr("%1 - PNG not readable") : tr("%1 - BMP is not 8-bit"),
            {std::filesystem::path(path).filename().string()});
        r.icon = MsgIcon::Information;
        app_.Messages().Show(r);
        return false;
    }
    const auto& table = bitmap.ColorTable();
    const auto& alpha = image.file.Alpha();
    for (int i = 0; i < 256; ++i) {
        lblColor->SetBackColor(
            i, i < static_cast<int>(table.size()) ? table[static_cast<size_t>(i)] : ColorValue{0});
        lblColor->SetAlpha(
            i, i < static_cast<int>(alpha.size()) ? alpha[static_cast<size_t>(i)] : 255);
    }
    // The three groups read their RGB from the cells: show the new palette's.
    for (int g = 0; g < 3; ++g)
        ShowColor(static_cast<PaletteGrid::Frame>(g), shownColor_[g]);
    return true;
}

void frm::ShowColor(PaletteGrid::Frame frame, std::uint8_t c) {
    const QRectF cell = PaletteGrid::CellRectTwips(c);
    const QRectF outer = cell.adjusted(-kFrameOutset, -kFrameOutset, kFrameOutset, kFrameOutset);
    const int left = units_.XToPixels(outer.left());
    const int top = units_.YToPixels(outer.top());
    lblColor->MoveFrame(frame, QRect(left, top, units_.XToPixels(outer.right()) - left,
                                     units_.YToPixels(outer.bottom()) - top));
    const int g = static_cast<int>(frame);
    shownColor_[g] = c;
    lblColorNum[g]->setText(QString::fromStdString(ColorNumText(c)));
    lblColorRGB[g]->setText(QString::fromStdString(ColorRGBText(lblColor->BackColor(c))));
}

void frm::DoHover(std::uint8_t ColorNum) {
    ShowColor(PaletteGrid::shpSel, ColorNum);
    ShowColor(PaletteGrid::shpNew, app_.Map()[ColorNum]);
}

void frm::lblColor_MouseMove(int Index, int, int, double, double) {
    if (Index < 0 || Index > 255) return;
    DoHover(static_cast<std::uint8_t>(Index));
}

void frm::lblColor_MouseDown(int Index, int Button, int, double, double) {
    if (Index < 0 || Index > 255) return;
    const auto index = static_cast<std::uint8_t>(Index);
    if (Button == 1) {
        selectedColor_ = Index;
        ShowColor(PaletteGrid::shpOld, index);
        ShowColor(PaletteGrid::shpNew, app_.Map()[index]);
    } else if (Button == 2) {
        app_.History().SetMapping(static_cast<std::uint8_t>(selectedColor_), index);
        ShowColor(PaletteGrid::shpNew, app_.Map()[index]);
        View()->DoPreview();
    }
}

// --- file panel ---------------------------------------------------------------------

void frm::SetFolderLabel(QLabel* label, const std::string& path) {
    const int width = ScreenUnits::Round(0.96 * label->width());
    const QString full = QString::fromLocal8Bit(path);
    const QString shortened = PathEllipsis(full, fontMetrics(), width);
    if (label == lblFolder) folderTag_ = path;
    label->setProperty("tag", full);
    label->setText(shortened);
    label->setToolTip(shortened != full ? full : QString());
}

void frm::SetFileListFolder(const std::string& folder, const std::vector<std::string>& names) {
    app_.CurrentSession().SetFolder(folder);
    {
        // The list is filled and its current entry set quietly: then the
        // current file is loaded once.
        const QSignalBlocker quiet(File);
        ReadFolderIntoList();
        File_PathChange();
        bool first = true;
        for (const std::string& name : names) {
            const QList<QListWidgetItem*> found =
                File->findItems(QString::fromLocal8Bit(name), Qt::MatchExactly);
            if (found.isEmpty()) continue;
            if (first) File->setCurrentItem(found[0], QItemSelectionModel::ClearAndSelect);
            found[0]->setSelected(true);
            first = false;
        }
    }
    cmdRecolor->setEnabled(!File->selectedItems().isEmpty());
    File_Click();
}

void frm::ReadFolderIntoList() {
    File->clear();
    QStringList names;
    for (const std::string& name : FolderListing::Names(app_.CurrentSession().Folder()))
        names << QString::fromLocal8Bit(name);
    File->addItems(names);
    lblNoFiles->setVisible(names.isEmpty());
}

void frm::OpenFolder(const std::string& folder, const std::vector<std::string>& names) {
    SetFolderLabel(lblFolder, folder);
    app_.Settings().SetFolder(folder);
    recent_->Remember(folder);
    SetFileListFolder(folder, names);
}

void frm::File_PathChange() {
    if (File->count() > 0) File->setCurrentRow(0);
}

std::string frm::CurrentFileName() const {
    const QListWidgetItem* item = File->currentItem();
    return item != nullptr ? item->text().toLocal8Bit().toStdString() : std::string();
}

std::string frm::PathInFileFolder(const std::string& name) const {
    return (app_.CurrentSession().Folder() / name).string();
}

void frm::File_Click(bool report) {
    const std::string name = CurrentFileName();
    app_.CurrentSession().SelectFile(name.empty() ? std::string() : PathInFileFolder(name));
    dialogs_->mnuOptionsSaveColorIndexList->setEnabled(!name.empty());
    if (name.empty()) return;
    const std::string path = PathInFileFolder(name);
    const bool preview = mnuOptionsShowPreview->isChecked();
    const bool count = mnuOptionsDimUnused->isChecked();
    // The file is read once: whole when its pixels are shown or counted.
    ImageLoad image;
    bool loaded = false;
    std::unique_ptr<clsBitmap> bitmap = LoadBitmap(
        path, preview || count ? BitmapParts::Whole : BitmapParts::Headers, image, loaded);
    if (!bitmap || !LoadPaletteFrom(*bitmap, image, loaded, path, report)) {
        if (frmView* v = view_.data(); v && preview)
            v->ShowNothing();  // not the previous file's image
        return;
    }
    lblColor->SetCounts(count ? CountIndices(*bitmap) : std::vector<std::int64_t>());
    if (preview) View()->ShowBitmap(std::move(bitmap), path, report);
}

void frm::cmdRefreshFiles_Click() {
    const QString remembered = QString::fromLocal8Bit(CurrentFileName());
    ReadFolderIntoList();
    for (int i = 0; i < File->count(); ++i) {
        if (File->item(i)->text() == remembered) {
            File->setCurrentRow(i);
            return;
        }
    }
    if (File->count() > 0) File->setCurrentRow(0);
}

std::vector<std::string> frm::SelectedFileNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < File->count(); ++i) {
        if (File->item(i)->isSelected())
            names.push_back(File->item(i)->text().toLocal8Bit().toStdString());
    }
    return names;
}

BatchTotals frm::RunFileBatch(FileBatch batch, const std::vector<std::string>& names,
                              const std::string& action) {
    std::vector<std::filesystem::path> files;
    for (const std::string& name : names)
        files.push_back(PathInFileFolder(name));
    // A single file shows nothing new; longer batches can be watched and stopped.
    const bool withProgress = files.size() >= 2;
    if (withProgress)
        action.empty() ? progress_->Begin(static_cast<int>(files.size()))
                       : progress_->Begin(static_cast<int>(files.size()), action);
    BatchMessageBox messages(app_.Messages(), *progress_);  // holds the progress while up
    std::set<std::string> reported;
    const BatchTotals totals = batch.Run(
        files, messages,
        [&](std::size_t i, const BatchFileResult& result) {
            if (result.messages > 0) reported.insert(names[i]);
        },
        [&](std::size_t i, const std::filesystem::path&) {
            return !withProgress || progress_->Next(static_cast<int>(i), names[i]);
        });
    if (withProgress) progress_->End();
    if (!files.empty())
        statusBar()->showMessage(QString::fromLocal8Bit(
            BatchStatusText(action.empty() ? "recolored" : "restored", totals)));
    // A file the batch has reported is not reported a second time by the refresh.
    File_Click(reported.count(CurrentFileName()) == 0);
    File->setFocus();
    return totals;
}

void frm::cmdRecolor_Click() {
    const FileBatch::Recoloring recoloring{app_.Map(), mnuOptionsBackupBMPs->isChecked(),
                                           View()->SelectionInPixels(),
                                           mnuOptionsRecolorOutside->isChecked()};
    const BatchTotals totals = RunFileBatch(FileBatch::Recolor(recoloring), SelectedFileNames());
    if (totals.worked >= 2 && !totals.stopped) {
        MessageRequest r;
        r.text = tr("Recoloration complete").toStdString();
        app_.Messages().Show(r);
    }
}

std::string BatchStatusText(const std::string& verb, const BatchTotals& totals) {
    const char* const context = "tintwell::frm";
    if (totals.stopped)
        return QCoreApplication::translate(context, "%1 of %2 done, cancelled")
            .arg(totals.worked)
            .arg(totals.files)
            .toStdString();
    QString text = (verb == "restored" ? QCoreApplication::translate(context, "%1 of %2 restored")
                                       : QCoreApplication::translate(context, "%1 of %2 recolored"))
                       .arg(totals.done + totals.same)
                       .arg(totals.files);
    if (totals.refused > 0)
        text = QCoreApplication::translate(context, "%1, %2 refused").arg(text).arg(totals.refused);
    return text.toStdString();
}

// --- layout ------------------------------------------------------------------------

bool frm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) Form_Resize();
    if (lblNoFiles != nullptr && watched == File->viewport()) {
        if (event->type() == QEvent::Resize)
            lblNoFiles->setGeometry(File->viewport()->rect().adjusted(4, 2, -4, -2));
        if (event->type() == QEvent::ToolTip) return FileToolTip(static_cast<QHelpEvent*>(event));
    }
    return QMainWindow::eventFilter(watched, event);
}

// A file name cut by the list's width shows in full as a tooltip.
bool frm::FileToolTip(QHelpEvent* event) {
    const QListWidgetItem* item = File->itemAt(event->pos());
    const QRect cell = item != nullptr ? File->visualItemRect(item) : QRect();
    if (item == nullptr ||
        File->fontMetrics().horizontalAdvance(item->text()) <= cell.width() - 6) {
        QToolTip::hideText();
        return true;
    }
    QToolTip::showText(event->globalPos(), item->text(), File->viewport(), cell);
    return true;
}

void frm::Form_Resize() {
    if (isMinimized()) return;
    const int W = centralWidget()->width();
    const int H = centralWidget()->height();
    const int mx = units_.XToPixels(kMargin);
    const int my = units_.YToPixels(kMargin);

    QRect browse = cmdBrowse->geometry();
    browse.moveLeft(W - browse.width() - mx);
    cmdBrowse->setGeometry(browse);

    QRect folder = lblFolder->geometry();
    folder.setWidth(browse.left() - folder.left());
    lblFolder->setGeometry(folder);

    QRect list = File->geometry();
    list.setHeight(H - list.top() - cmdRefreshFiles->height() - units_.YToPixels(2 * kMargin));
    File->setGeometry(list);

    QRect recolor = cmdRecolor->geometry();
    const int oldLeft = recolor.left();
    recolor = QRect(lblColor->CellRect(0).left(), H - recolor.height() - my, W - oldLeft - mx,
                    recolor.height());
    cmdRecolor->setGeometry(recolor);

    cmdRefreshFiles->setGeometry(
        QRect(list.left(), recolor.top(), list.width(), cmdRefreshFiles->height()));

    SetFolderLabel(lblFolder, folderTag_);
}

}  // namespace tintwell
