#include "widgets/file_notices.h"

#include "session/unit_files.h"
#include "widgets/notice.h"

namespace tarn {

bool Read_Chosen_File(const QString& path, qint64 limit, QByteArray& out,
                      const Bilingual& unreadable, qint64* size) {
    const ReadProblem problem = Read_Regular_File(path, limit, out, size);
    if (problem == ReadProblem::None) return true;
    Show_Warning(Read_Problem_Text(problem, unreadable));
    return false;
}

bool Save_File_Or_Tell(const QString& path, const QByteArray& bytes) {
    const SaveResult result = Save_File_Atomically(path, bytes);
    if (!result.ok()) Show_Error(Save_Failure_Text(result));
    return result.ok();
}

} // namespace tarn
