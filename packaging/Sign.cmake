# Signs one Windows program with Authenticode (SHA-256) through osslsigncode:
#
#   cmake [-DPKCS12=file] [-DPASSWORD_FILE=file] [-DTIMESTAMP_URL=url]
#         [-DDESCRIPTION=text] [-DURL=url] [-DOUT=file] -P Sign.cmake FILE
#
# FILE is signed into OUT, or in place without OUT: the form that NSIS's
# !finalize and !uninstfinalize call with the file's name last. The signed
# file appears whole (written under a temporary name, then renamed); when
# signing fails, osslsigncode's reason is printed as it wrote it, followed
# by one error, and OUT is left as it was.
#
# Each setting left empty is taken from the environment variable of the
# same name with KESORV_SIGN_ in front (KESORV_SIGN_PKCS12, ...). The
# password is read from PASSWORD_FILE or from the environment variable
# KESORV_SIGN_PASSWORD, and reaches osslsigncode through a pipe: never as a
# cache variable (CMakeCache.txt is plain text), never on a command line,
# which any user sees in `ps`.
#
# With -DIF_CERTIFICATE=ON, no certificate at all means nothing to do: the
# file stays unsigned, as the release does then.
cmake_minimum_required(VERSION 3.21)

math(EXPR last "${CMAKE_ARGC} - 1")
set(file "${CMAKE_ARGV${last}}")
if("${OUT}" STREQUAL "")
  set(OUT "${file}")
endif()
foreach(setting PKCS12 PASSWORD_FILE TIMESTAMP_URL DESCRIPTION URL)
  if("${${setting}}" STREQUAL "" AND DEFINED ENV{KESORV_SIGN_${setting}})
    set(${setting} "$ENV{KESORV_SIGN_${setting}}")
  endif()
endforeach()
if("${DESCRIPTION}" STREQUAL "")
  set(DESCRIPTION "Orvane cleanup helper")
endif()
if("${PKCS12}" STREQUAL "" AND IF_CERTIFICATE)
  return()
endif()

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
set(partial "${OUT}.signing")
file(REMOVE "${partial}")
execute_process(
  ${password_source}
  COMMAND "${OSSLSIGNCODE}" sign -pkcs12 "${PKCS12}" ${password_arguments} ${options}
          -in "${file}" -out "${partial}"
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  file(REMOVE "${partial}")
  message("${output}")  # osslsigncode's reason, as it wrote it
  message(FATAL_ERROR "Signing ${file} with ${PKCS12} failed (a wrong password, a file that is "
                      "not PKCS#12, or an unreachable time-stamp server); osslsigncode's reason "
                      "is above.")
endif()
file(RENAME "${partial}" "${OUT}")
