#include "CMakingDlg.h"

#include "Identifiers.h"
#include "Texts.h"
#include "VideoCommand.h"

#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

CMakingDlg::CMakingDlg(QWidget* parent) : QDialog(parent), m_progress(new QProgressBar(this))
{
    setObjectName(ORVELLE_ID(IDD_MAKING));
    setWindowTitle(tr("Creating video..."));
    m_progress->setObjectName(ORVELLE_ID(IDC_PROGRESS));
    m_progress->setTextVisible(false);
    auto* text = new QLabel(tr("If you decide to upload this video to YouTube, why not share it with folk "
                               "at the Kadrith Software Google Group!"),
                            this);
    text->setWordWrap(true);
    auto* forum = new QPushButton(ManualCaption(), this);
    forum->setObjectName(ORVELLE_ID(IDC_FORUM_LINK));
    forum->setAutoDefault(false);
    forum->setFocusPolicy(Qt::NoFocus); // keys typed here belong to the dialog: they stop the assembly

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_progress);
    layout->addWidget(text);
    layout->addWidget(forum);
    setMinimumWidth(300);
    connect(forum, &QPushButton::clicked, this, &OpenForumPage);
}

CMakingDlg::~CMakingDlg()
{
    StopAssembly();
}

int CMakingDlg::exec()
{
    if (!OnInitDialog())
        return Rejected;
    return QDialog::exec();
}

bool CMakingDlg::OnInitDialog()
{
    m_progress->setRange(0, 1000);
    m_progress->setValue(0);
    m_pWriter =
        std::make_unique<VideoAssembler>(m_strDir.toStdString(), m_nGame, m_nPlies, m_dFps, m_bVideoClocks);
    const QString error = VideoOpenError(*m_pWriter, m_pWriter->Open(), m_strDir);
    if (!error.isEmpty()) {
        ShowMessage(this, error);
        return false;
    }
    m_nWidth = m_pWriter->FrameSize().width;
    m_nHeight = m_pWriter->FrameSize().height;
    // The assembly starts once the dialog is on screen.
    QTimer::singleShot(100, this, &CMakingDlg::OnTimer);
    return true;
}

void CMakingDlg::OnTimer()
{
    if (m_stop) // closed before the timer fired
        return;
    m_assembly = std::thread([this] {
        m_pWriter->Assemble(
            [this](int progress) {
                QMetaObject::invokeMethod(
                    this,
                    [this, progress] {
                        m_nProgress = progress;
                        m_progress->setValue(progress);
                    },
                    Qt::QueuedConnection);
            },
            m_stop);
        QMetaObject::invokeMethod(this, &CMakingDlg::OnAssembled, Qt::QueuedConnection);
    });
}

void CMakingDlg::OnAssembled()
{
    if (!isVisible()) // closed meanwhile, which finished the file
        return;
    const bool stopped = m_stop;
    const VideoAssembler::FinishResult result = StopAssembly();
    const QString error = VideoFinishError(*m_pWriter, result, m_strDir, stopped);
    if (result == VideoAssembler::FinishResult::Replaced)
        ShowMessage(this, tr("Video (output.avi) created"));
    else if (!error.isEmpty())
        ShowMessage(this, error);
    accept();
}

VideoAssembler::FinishResult CMakingDlg::StopAssembly()
{
    m_stop = true;
    if (m_assembly.joinable())
        m_assembly.join(); // at most the current frame
    return m_pWriter ? m_pWriter->Finish() : VideoAssembler::FinishResult::KeptOld;
}

void CMakingDlg::done(int result)
{
    // Closed early (Escape, the close box): the frames so far make a finished file.
    StopAssembly();
    QDialog::done(result);
}

void CMakingDlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Shift: // the next game's start press reaches this dialog too
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
    case Qt::Key_Escape:
        QDialog::keyPressEvent(event);
        return;
    default:
        // Any other key stops the assembly after the current frame, and the video is reported as usual;
        // before the assembly has started there is nothing to report, and the older video stays.
        m_stop = true;
        if (!m_assembly.joinable())
            reject();
    }
}
