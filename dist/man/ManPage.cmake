# Writes vexlor's manual page: the text of vexlor.1.in with its COMMANDS and OPTIONS sections from
# the program's own description of its command line (vexlor --describe man), then compressed as
# Debian wants it. Run after each link of the program; its date is SOURCE_DATE_EPOCH's when that
# is set (scripts/package.sh sets it), so that a package built twice from one commit is the same.
# usage: cmake -DVEXLOR=PROGRAM -DTEMPLATE=vexlor.1.in -DPAGE=OUT/vexlor.1 -DVERSION=X.Y -P ManPage.cmake
execute_process(COMMAND ${VEXLOR} --describe man
                OUTPUT_VARIABLE VEXLOR_COMMANDS_AND_OPTIONS OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
string(TIMESTAMP VEXLOR_RELEASE_DATE "%Y-%m-%d" UTC)
set(PROJECT_VERSION ${VERSION})
configure_file(${TEMPLATE} ${PAGE} @ONLY)
execute_process(COMMAND gzip -9 -n -c ${PAGE} OUTPUT_FILE ${PAGE}.gz COMMAND_ERROR_IS_FATAL ANY)
