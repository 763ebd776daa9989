#pragma once

#include <QObject>
#include <optional>
#include <string>
#include <vector>

namespace tintwell {

class Application;
class frm;

// Opening what the user hands the main window: a path on the command line
// ("Open With" in a file manager) or items dropped on the window. A folder is
// listed; BMP files of one folder list that folder with those files selected,
// the first one current. The folder is stored as a folder chosen with "..." is.
class OpenCommands : public QObject {
    Q_OBJECT
  public:
    // What a list of paths asks for, or nothing when it is not one folder or
    // files of a single folder that its listing offers (FolderListing).
    struct Request {
        std::string folder;
        std::vector<std::string> names;  // the files to select; none for a folder
    };
    static std::optional<Request> Plan(const std::vector<std::string>& paths);

    // Accepts drops on `window`.
    OpenCommands(frm& window, Application& app);

    // Opens `paths`; false (nothing changes) when Plan refuses them.
    bool OpenPaths(const std::vector<std::string>& paths);
    // The paths given on the command line (a folder, or BMP files of one
    // folder); false when they cannot be opened, which is reported in a message box.
    bool OpenFromCommandLine(const std::vector<std::string>& paths);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Show(const Request& request);

    frm& window_;
    Application& app_;
};

}  // namespace tintwell
