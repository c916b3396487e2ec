# Sourced: where a 32-bit program's files and registry lie in the prefix of WINEARCH.
# system_folder is its system directory's folder on disk and program_files_folder the folder
# its installers put programs in, both below drive_c; view holds the reg option that addresses
# the registry as it sees it (none on 32-bit Windows, which has only that view).
if [ "${WINEARCH:-win32}" = win64 ]; then
    system_folder=syswow64
    program_files_folder='Program Files (x86)'
    view=(/reg:32)
else
    system_folder=system32
    program_files_folder='Program Files'
    view=()
fi
