#include "ui/main/OpenCommands.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <filesystem>
#include <system_error>

#include "core/modRecolor.h"
#include "ui/main/frm.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Translations.h"
#include "workspace/FolderListing.h"

namespace tintwell {
namespace fs = std::filesystem;

namespace {

// The local paths a drag carries; empty when any of its items is not a local file.
std::vector<std::string> DraggedPaths(const QMimeData* data) {
    std::vector<std::string> paths;
    if (data == nullptr || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) return {};
        paths.push_back(url.toLocalFile().toLocal8Bit().toStdString());
    }
    return paths;
}

// `given` made absolute, without "." and ".." steps or a trailing separator.
fs::path Normal(const std::string& given) {
    std::error_code ec;
    fs::path path = fs::absolute(given, ec).lexically_normal();
    return path.has_filename() ? path : path.parent_path();
}

}  // namespace

std::optional<OpenCommands::Request> OpenCommands::Plan(const std::vector<std::string>& paths) {
    std::error_code ec;
    if (paths.size() == 1 && fs::is_directory(paths[0], ec))
        return Request{Normal(paths[0]).string(), {}};
    Request request;
    for (const std::string& given : paths) {
        const fs::path path = Normal(given);
        const std::string folder = path.parent_path().string();
        if (!FolderListing::IsListedFile(path)) return {};
        if (!request.names.empty() && folder != request.folder) return {};
        request.folder = folder;
        request.names.push_back(path.filename().string());
    }
    if (request.names.empty()) return {};
    return request;
}

OpenCommands::OpenCommands(frm& window, Application& app)
    : QObject(&window), window_(window), app_(app) {
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

bool OpenCommands::OpenPaths(const std::vector<std::string>& paths) {
    const std::optional<Request> request = Plan(paths);
    if (request) Show(*request);
    return request.has_value();
}

bool OpenCommands::OpenFromCommandLine(const std::vector<std::string>& paths) {
    if (OpenPaths(paths)) return true;
    std::error_code ec;
    for (const std::string& path : paths) {
        if (!fs::exists(path, ec)) {
            app_.Messages().Show(NotFoundMessage(path));
            return false;
        }
    }
    MessageRequest refusal;
    refusal.text =
        paths.size() == 1
            ? Translations::Fill(tr("\"%1\" is neither a folder nor a BMP file."), {paths[0]})
            : tr("The files given are not BMP files of one folder.").toStdString();
    refusal.title = tr("Cannot Open").toStdString();
    refusal.icon = MsgIcon::Information;
    app_.Messages().Show(refusal);
    return false;
}

void OpenCommands::Show(const Request& request) {
    window_.OpenFolder(request.folder, request.names);
}

bool OpenCommands::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched != &window_ ||
        (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop))
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    const std::vector<std::string> paths = DraggedPaths(drop->mimeData());
    if (!Plan(paths)) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) OpenPaths(paths);
    return true;
}

}  // namespace tintwell
