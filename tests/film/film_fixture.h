// The film fixtures written by tests/data/film/make_films.py, read as bytes.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace mobu::testing_film {

inline std::string FilmDir() { return std::string(MOBU_SOURCE_DIR) + "/tests/data/film/"; }

inline std::string ReadFixture(const std::string& name)
{
    std::ifstream in(FilmDir() + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace mobu::testing_film
