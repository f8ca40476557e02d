// Saving a cut: the time check, the byte range in proportion to the song's
// length, and the save through the file dialog.
#include "app/app_shell.h"
#include "cut/byte_range.h"
#include "cut/text_to_number.h"
#include "cut/whole_file.h"
#include "ui/fs_path.h"
#include "ui/main_window.h"
#include "ui/message_box.h"
#include "ui/whole_number_edit.h"

#include <QLineEdit>

#include <utility>

namespace {

double BoxNumber(const QLineEdit* box)
{
    const QString text = box->text();
    return TextToNumber(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                            static_cast<std::size_t>(text.size())));
}

} // namespace

void MainWindow::OnSaveCutClick()
{
    const QString songPath = songPathBox_->text();
    if (songPath.isEmpty()) {
        ShowMessage(QStringLiteral(u"请选择文件！"));
        return;
    }
    const double end = BoxNumber(endBox_);
    const double start = BoxNumber(startBox_);
    if (!TimesPassCheck(start, end)) {
        ShowMessage(QStringLiteral(u"请正确填写待剪切时间！"));
        return;
    }

    ByteBuffer song = ReadWholeFile(ToFsPath(songPath));
    const std::int32_t bytesPerMs = BytesPerMillisecond(song.size(), playbackDevice_.GetLength());
    const std::int32_t firstByte = CutFirstByte(start, bytesPerMs);
    const std::int32_t count = CutByteCount(start, end, bytesPerMs);
    // The old cut goes first, so the new one never has to share memory with it.
    // The cut is made in the song's own memory and the rest of the song given
    // back: nothing more than the cut is held through the dialog.
    CutBuffer.Release();
    CutBuffer = MidBytes(std::move(song), firstByte, count);

    if (CutBuffer.empty()) {
        ShowMessage(QStringLiteral(u"请选择要剪切部分数据!"), QStringLiteral(u"提示"), QMessageBox::Warning);
        return;
    }
    songFileDialog_.SetMode(SongFileDialog::SaveMode);
    if (!songFileDialog_.Show(this))
        return;
    const std::filesystem::path target = ToFsPath(songFileDialog_.GetFileName());
    // Saving over the song being played would destroy it.
    const bool saved = !playbackDevice_.HoldsFile(target) && WriteBytesToFile(target, CutBuffer.bytes());
    if (saved)
        ShowMessage(QStringLiteral(u"保存成功!"), QStringLiteral(u"提示"), QMessageBox::Information);
    else
        ShowMessage(QStringLiteral(u"保存失败!"), QStringLiteral(u"提示"), QMessageBox::Warning);
}
