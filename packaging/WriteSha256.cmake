# Writes FILE.sha256 in the format that `sha256sum -c` reads.
# cmake -DFILE=path/to/file -P WriteSha256.cmake
file(SHA256 "${FILE}" hash)
get_filename_component(name "${FILE}" NAME)
file(WRITE "${FILE}.sha256" "${hash}  ${name}\n")
