// Writes lease listings in the layout the lookup reads: a header, client
// lines, a footer. One line in `every` carries the MAC prefix 00-1a-2b.
// The list file names them as c:\<FOLDER's name>\leases-N.txt.
//   generate_listings FOLDER FILES LINES EVERY
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: generate_listings FOLDER FILES LINES EVERY\n");
    return 64;
  }
  const std::filesystem::path folder = argv[1];
  const int files = std::atoi(argv[2]);
  const long lines = std::atol(argv[3]);
  const long every = std::atol(argv[4]);
  std::filesystem::create_directories(folder);
  std::mt19937 random(42);
  const auto hex = [&] {
    char octet[3];
    std::snprintf(octet, sizeof octet, "%02x", static_cast<unsigned>(random() % 256));
    return std::string(octet);
  };
  std::ofstream list(folder / "list.txt", std::ios::binary);
  for (int f = 1; f <= files; ++f) {
    const std::string name = "leases-" + std::to_string(f) + ".txt";
    list << "c:\\" << folder.filename().string() << "\\" << name << "\r\n";
    std::ofstream out(folder / name, std::ios::binary);
    out << "\r\nChanged the current scope context to 10." << f << ".0.0 scope.\r\n\r\n"
        << "IP Address      - Subnet Mask    - Unique ID           - Lease Expires        -Type -Name \r\n"
        << std::string(92, '=') << "\r\n\r\n";
    char line[160];
    for (long i = 0; i < lines; ++i) {
      // A rare prefix for the wanted lines, a near miss ("00-1b") for the rest.
      const std::string mac = (i % every == every / 2 ? "00-1a-2b-" : "00-1b-" + hex() + "-") + hex() + "-" +
                              hex() + "-" + hex();
      std::snprintf(line, sizeof line, "10.%d.%ld.%ld%*s - 255.255.0.0    - %-19s - 20.11.2027 11:45:59  -D-  host-%ld.example.org\r\n",
                    f, (i / 250) % 250, i % 250 + 1, 4, "", mac.c_str(), i);
      out << line;
    }
    out << "\r\nNo of Clients(version 4): " << lines << " in the Scope : 10." << f << ".0.0.\r\n";
  }
  return 0;
}
