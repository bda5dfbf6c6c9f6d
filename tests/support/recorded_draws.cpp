#include "recorded_draws.h"

#include <sstream>

std::vector<std::vector<RecordedVertex>> RecordedDraws(const std::vector<std::string>& calls, const std::string& kind) {
    std::vector<std::vector<RecordedVertex>> draws;
    for (const std::string& call : calls) {
        if (call.rfind("DrawPrimitiveUP(" + kind, 0) != 0) continue;
        std::istringstream in(call.substr(call.find('[') + 1));  // "x y z #colour u v | ..."
        std::vector<RecordedVertex> vertices;
        RecordedVertex v;
        std::string bar;
        while (in >> v.x >> v.y >> v.z >> v.colour >> v.u >> v.v) {
            vertices.push_back(v);
            in >> bar;
        }
        draws.push_back(vertices);
    }
    return draws;
}
