# Puts the release into DIST_DIR: KesOrvCleanup.exe, Authenticode-signed
# when a certificate is given, its SHA-256 in the format `sha256sum -c`
# reads, and README.txt, which says whether and how the program is signed.
#
#   cmake -DPROGRAM=exe -DREADME=README.txt -DDIST_DIR=dir -DWORK_DIR=dir
#         [-DPKCS12=file] [-DPASSWORD_FILE=file] [-DTIMESTAMP_URL=url]
#         [-DDESCRIPTION=text] [-DURL=url] -P Dist.cmake
#
# Each signing setting left empty is taken from the environment variable
# of the same name with KESORV_SIGN_ in front (KESORV_SIGN_PKCS12, ...).
# The password is read from PASSWORD_FILE or from the environment variable
# KESORV_SIGN_PASSWORD, and reaches osslsigncode through a pipe: never as a
# cache variable (CMakeCache.txt is plain text), never on a command line,
# which any user sees in `ps`.
#
# Everything is made in WORK_DIR first; DIST_DIR changes only when the
# release is complete, and each file appears there whole (written under a
# temporary name, then renamed), so a failed signing leaves no unsigned or
# half-signed program among the release's files.
cmake_minimum_required(VERSION 3.21)

foreach(setting PKCS12 PASSWORD_FILE TIMESTAMP_URL DESCRIPTION URL)
  if("${${setting}}" STREQUAL "" AND DEFINED ENV{KESORV_SIGN_${setting}})
    set(${setting} "$ENV{KESORV_SIGN_${setting}}")
  endif()
endforeach()
if("${DESCRIPTION}" STREQUAL "")
  set(DESCRIPTION "Orvane cleanup helper")
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
set(program "${WORK_DIR}/KesOrvCleanup.exe")

if("${PKCS12}" STREQUAL "")
  message(STATUS "KesOrvCleanup.exe is NOT signed: no certificate given (KESORV_SIGN_PKCS12)")
  file(MAKE_DIRECTORY "${WORK_DIR}")
  file(COPY_FILE "${PROGRAM}" "${program}")
  set(signature_note "KesOrvCleanup.exe is not signed.")
else()
  find_program(OSSLSIGNCODE osslsigncode)
  if(NOT OSSLSIGNCODE)
    message(FATAL_ERROR "Cannot sign: osslsigncode not found (Debian: apt install osslsigncode)")
  endif()
  if(NOT EXISTS "${PKCS12}" OR IS_DIRECTORY "${PKCS12}")
    message(FATAL_ERROR "Cannot sign: no certificate file ${PKCS12} (KESORV_SIGN_PKCS12)")
  endif()
  if(NOT "${PASSWORD_FILE}" STREQUAL "")
    if(NOT EXISTS "${PASSWORD_FILE}")
      message(FATAL_ERROR
              "Cannot sign: no password file ${PASSWORD_FILE} (KESORV_SIGN_PASSWORD_FILE)")
    endif()
    set(password_source "")
    set(password_arguments -readpass "${PASSWORD_FILE}")
  elseif(DEFINED ENV{KESORV_SIGN_PASSWORD})
    # printenv is given the variable's name; the password goes down the pipe.
    set(password_source COMMAND printenv KESORV_SIGN_PASSWORD)
    set(password_arguments -readpass /dev/stdin)
  else()
    message(FATAL_ERROR "Cannot sign ${PKCS12}: give its password in KESORV_SIGN_PASSWORD "
                        "or a file holding it in KESORV_SIGN_PASSWORD_FILE")
  endif()

  set(options -h sha256 -n "${DESCRIPTION}")
  if(NOT "${URL}" STREQUAL "")
    list(APPEND options -i "${URL}")
  endif()
  if(NOT "${TIMESTAMP_URL}" STREQUAL "")
    list(APPEND options -ts "${TIMESTAMP_URL}")  # an RFC 3161 time-stamp server
  endif()
  file(MAKE_DIRECTORY "${WORK_DIR}")
  execute_process(
    ${password_source}
    COMMAND "${OSSLSIGNCODE}" sign -pkcs12 "${PKCS12}" ${password_arguments} ${options}
            -in "${PROGRAM}" -out "${program}"
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    file(REMOVE_RECURSE "${WORK_DIR}")
    message("${output}")  # osslsigncode's reason, as it wrote it
    message(FATAL_ERROR "Signing with ${PKCS12} failed (a wrong password, a file that is not "
                        "PKCS#12, or an unreachable time-stamp server); nothing was put into "
                        "${DIST_DIR}. osslsigncode's reason is above.")
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
