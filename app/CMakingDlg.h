#pragma once

#include "VideoAssembler.h"

#include <QDialog>
#include <atomic>
#include <memory>
#include <thread>

class QProgressBar;

/// "Creating video...": assembles one game's pictures into output.avi off the window's thread,
/// with a progress bar. A key (not a modifier: the next game may be starting) stops it after the
/// current frame; closing the dialog does the same, and either way the frames so far make the video.
/// Stopped before the first frame, the dialog closes and the older video stays.
class CMakingDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CMakingDlg(QWidget* parent = nullptr);
    ~CMakingDlg() override;

    /// Reads the first picture and opens the video, or says why not; then runs the dialog.
    int exec() override;
    void done(int result) override;

    int m_nProgress = 0;
    int m_nGame = 1;
    int m_nPlies = 50;
    double m_dFps = 1.0;
    QString m_strDir;
    int m_nHeight = 480;
    int m_nWidth = 640;
    bool m_bVideoClocks = false;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool OnInitDialog();
    void OnTimer();
    void OnAssembled();
    VideoAssembler::FinishResult StopAssembly();

    std::unique_ptr<VideoAssembler> m_pWriter;
    QProgressBar* m_progress;
    std::thread m_assembly;
    std::atomic<bool> m_stop{false};
};
