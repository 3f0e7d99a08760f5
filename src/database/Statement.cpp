#include "database/Statement.h"

namespace kps {

void Statement::QueryInto(RowSink& sink) {
    ResultTable table = Query();
    sink.Columns(table.columns);
    for (auto& row : table.rows) {
        sink.Row(row);
    }
}

}  // namespace kps
