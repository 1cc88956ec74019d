#pragma once

#include <memory>
#include <string>

#include <QObject>

class CDeviceDoc;
class CDeviceFrame;
class CDevicePanel;
class CDisplayView;
class CMainFrame;
class CPtyServer;
class IPreferences;

// The program: builds the main window, the device frame and the one document, and
// connects to the controller (a simulated one on a pseudo-terminal when asked).
class CVapron : public QObject {
    Q_OBJECT
  public:
    struct Options {
        bool simulate = false;
        std::string port;  // a device to try first
        bool pacing = true;
    };

    explicit CVapron(Options options);
    ~CVapron() override;

    // Creates the windows and the document, shows the window maximised and connects.
    void start();

    CMainFrame* mainFrame() const { return mainFrame_; }
    CDeviceFrame* deviceFrame() const { return frame_; }
    CDeviceDoc* document() const { return doc_.get(); }

  private:
    void wireShortcuts();

    Options options_;
    std::unique_ptr<IPreferences> preferences_;
    std::unique_ptr<CPtyServer> simulator_;
    std::unique_ptr<CDeviceDoc> doc_;
    CDeviceFrame* frame_ = nullptr;
    CDevicePanel* panel_ = nullptr;
    CDisplayView* view_ = nullptr;
    CMainFrame* mainFrame_ = nullptr;
};
