// samplegen: writes the bundled sample store. It generates the sample tables
// as CSV files, puts the cube definitions beside them, and builds each
// definition into a cube file of the store, exactly as the command-line cube
// builder would:
//
//   samplegen DEFINITIONS_FOLDER OUTPUT_FOLDER
//
// writes OUTPUT_FOLDER/source/ (tables and definitions) and
// OUTPUT_FOLDER/store/ (N.cub for each definition N.json, and N.bwf when the
// definition has a "store" section).
#include "sampledata.h"

#include "olap/build/cubesource.h"

#include <algorithm>
#include <iostream>
#include <vector>

namespace {

std::vector<std::filesystem::path> definitionsIn(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".json")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

void generate(const std::filesystem::path& definitions, const std::filesystem::path& output)
{
    const auto source = output / "source";
    const auto store = output / "store";
    std::filesystem::create_directories(source);
    std::filesystem::create_directories(store);
    samplegen::writeSampleTables(source);
    for (const auto& file : definitionsIn(definitions)) {
        const auto copy = source / file.filename();
        std::filesystem::copy_file(file, copy, std::filesystem::copy_options::overwrite_existing);
        const auto cubeFile = store / file.filename().replace_extension(".cub");
        for (const auto& cube : olap::buildCubeFile(olap::readCubeDefinition(copy), cubeFile))
            std::cout << "samplegen: " << cubeFile.filename().string() << ": cube \"" << cube.name << "\", "
                      << cube.factCount << " facts\n";
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "Usage: samplegen DEFINITIONS_FOLDER OUTPUT_FOLDER\n";
        return 2;
    }
    try {
        generate(argv[1], argv[2]);
        return 0;
    } catch (const platform::Failure& failure) {
        std::cerr << "samplegen: error: " << failure.description() << '\n';
        return 1;
    }
}
