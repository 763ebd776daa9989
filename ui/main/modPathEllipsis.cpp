#include "ui/main/modPathEllipsis.h"

namespace tintwell {

QString PathEllipsis(const QString& path, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(path) <= width) return path;
    const QString ellipsis = "...";
    int slash = path.lastIndexOf('/');
    if (slash < 0) slash = path.size();  // no folder part: shorten the name's middle too
    const QString tail = path.mid(slash);
    QString head = path.left(slash);
    if (tail.isEmpty()) {
        // A name without separators: keep its end.
        for (int keep = path.size() - 1; keep > 0; --keep) {
            const QString s = ellipsis + path.right(keep);
            if (metrics.horizontalAdvance(s) <= width) return s;
        }
        return ellipsis;
    }
    // Longest start of the folder part that fits with the ellipsis and the last component.
    int lo = 0, hi = static_cast<int>(head.size());
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (metrics.horizontalAdvance(head.left(mid) + ellipsis + tail) <= width) {
            lo = mid;
        } else {
            hi = mid - 1;
        }
    }
    return head.left(lo) + ellipsis + tail;
}

}  // namespace tintwell
