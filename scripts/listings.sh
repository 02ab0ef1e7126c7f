# Sourced: lease listings for the tests and the bench.
# matching_listing N: N lease lines in the examples' layout, every one with
# a MAC address that starts 00-1a, each client its own (host1 ... hostN).
matching_listing() {
  awk -v n="$1" 'BEGIN { for (i = 1; i <= n; i++)
    printf "10.%d.%d.%d   - 255.255.0.0  - 00-1a-00-%02x-%02x-%02x   - 01.01.2027 10:00:00   -D-  host%d.example.org\r\n",
      int(i / 65536), int(i / 256) % 256, i % 256, int(i / 65536), int(i / 256) % 256, i % 256, i }'
}
