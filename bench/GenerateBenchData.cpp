// Writes the synthetic data set of one scale to a folder: rules.tarn, physics.tarn,
// model.tarn, rules.json and physics.json.
//
//   kel_bench_data SCALE FOLDER

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "SyntheticDataSet.h"

namespace {

bool writeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "kel_bench_data: cannot write " << path.string() << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: kel_bench_data SCALE FOLDER\n";
        return 2;
    }
    char* end = nullptr;
    const long scale = std::strtol(argv[1], &end, 10);
    if (*end != '\0' || scale < 1 || scale > 10000) {
        std::cerr << "kel_bench_data: SCALE must be a whole number from 1 to 10000\n";
        return 2;
    }
    const std::filesystem::path folder(argv[2]);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::cerr << "kel_bench_data: cannot create " << folder.string() << ": " << error.message()
                  << "\n";
        return 1;
    }
    const auto data = kel::bench::SyntheticDataSet::generate(static_cast<int>(scale));
    const bool ok = writeFile(folder / "rules.tarn", data.rulesTarn) &&
                    writeFile(folder / "physics.tarn", data.physicsTarn) &&
                    writeFile(folder / "model.tarn", data.modelTarn) &&
                    writeFile(folder / "rules.json", data.rulesJson) &&
                    writeFile(folder / "physics.json", data.physicsJson);
    if (!ok) return 1;
    std::cout << "scale " << scale << ": " << data.rulesTarn.size() << " + "
              << data.physicsTarn.size() << " bytes of RULES + PHYSICS, " << data.modelTarn.size()
              << " bytes of model (" << data.modelObjects.size() << " objects)\n";
    return 0;
}
