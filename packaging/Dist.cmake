# Puts the release into DIST_DIR: KesOrvCleanup.exe, Authenticode-signed
# when a certificate is given, its SHA-256 in the format `sha256sum -c`
# reads, and README.txt, which says whether and how the program is signed.
#
#   cmake -DPROGRAM=exe -DREADME=README.txt -DDIST_DIR=dir -DWORK_DIR=dir
#         [-DPKCS12=file] [-DPASSWORD_FILE=file] [-DTIMESTAMP_URL=url]
#         [-DDESCRIPTION=text] [-DURL=url] -P Dist.cmake
#
# The signing settings are Sign.cmake's, which signs the program; each left
# empty is taken from its KESORV_SIGN_ environment variable there, and the
# password never appears on a command line.
#
# Everything is made in WORK_DIR first; DIST_DIR changes only when the
# release is complete, and each file appears there whole (written under a
# temporary name, then renamed), so a failed signing leaves no unsigned or
# half-signed program among the release's files.
cmake_minimum_required(VERSION 3.21)

if("${PKCS12}" STREQUAL "" AND DEFINED ENV{KESORV_SIGN_PKCS12})
  set(PKCS12 "$ENV{KESORV_SIGN_PKCS12}")
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
set(program "${WORK_DIR}/KesOrvCleanup.exe")

if("${PKCS12}" STREQUAL "")
  message(STATUS "KesOrvCleanup.exe is NOT signed: no certificate given (KESORV_SIGN_PKCS12)")
  file(MAKE_DIRECTORY "${WORK_DIR}")
  file(COPY_FILE "${PROGRAM}" "${program}")
  set(signature_note "KesOrvCleanup.exe is not signed.")
else()
  file(MAKE_DIRECTORY "${WORK_DIR}")
  execute_process(
    COMMAND "${CMAKE_COMMAND}" "-DPKCS12=${PKCS12}" "-DPASSWORD_FILE=${PASSWORD_FILE}"
            "-DTIMESTAMP_URL=${TIMESTAMP_URL}" "-DDESCRIPTION=${DESCRIPTION}" "-DURL=${URL}"
            "-DOUT=${program}" -P "${CMAKE_CURRENT_LIST_DIR}/Sign.cmake" "${PROGRAM}"
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    file(REMOVE_RECURSE "${WORK_DIR}")
    message(FATAL_ERROR "KesOrvCleanup.exe was not signed; nothing was put into ${DIST_DIR}.")
  endif()
  message(STATUS "KesOrvCleanup.exe is signed with ${PKCS12}")
  set(signature_note "KesOrvCleanup.exe carries an Authenticode signature (SHA-256).
Check it in Explorer (Properties, Digital Signatures), in PowerShell with
Get-AuthenticodeSignature .\\KesOrvCleanup.exe, or on Linux with
osslsigncode verify -in KesOrvCleanup.exe.")
endif()

file(READ "${README}" readme)
file(WRITE "${WORK_DIR}/README.txt" "${readme}\n${signature_note}\n")
file(SHA256 "${program}" hash)
file(WRITE "${program}.sha256" "${hash}  KesOrvCleanup.exe\n")

file(MAKE_DIRECTORY "${DIST_DIR}")
foreach(name KesOrvCleanup.exe KesOrvCleanup.exe.sha256 README.txt)
  file(COPY_FILE "${WORK_DIR}/${name}" "${DIST_DIR}/.${name}.partial")
  file(RENAME "${DIST_DIR}/.${name}.partial" "${DIST_DIR}/${name}")
endforeach()
file(REMOVE_RECURSE "${WORK_DIR}")
