#!/usr/bin/env bash
# A print server of the test's own: a cupsd whose whole state (settings,
# spool, logs, printers) lives in one temporary folder and which listens on a
# socket there, never on the machine's print system.  Source this file:
#
#   cupsd_start DIR        starts it in DIR (created), exports CUPS_SERVER
#   cupsd_add_file_printer NAME FILE
#                          a printer that writes each job's document,
#                          untouched, to FILE (PDF passes through gziptoany)
#   cupsd_stop             ends it (by its process number) and waits
#
# Needs cupsd (cups-daemon), lpadmin (cups-client) and gziptoany
# (cups-core-drivers).  Run as root (the filters then run as lp, so the
# folders above DIR must let others through) or as any user, whose own user
# the server then takes for its jobs.
CUPSD_PID=
CUPSD_DIR=

cupsd_start() {
  local dir=$1 user group
  CUPSD_DIR=$dir
  mkdir -p "$dir"/{spool,tmp,cache,state,log,ppd,out}
  chmod 0777 "$dir"/out "$dir"/tmp
  user=$(id -un)
  group=$(id -gn)
  [[ $user == root ]] && user=lp && group=lp
  cat >"$dir/cupsd.conf" <<CONF
Listen $dir/cups.sock
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
PreserveJobFiles Yes
PreserveJobHistory Yes
MaxJobs 0
LogLevel info
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
CONF
  cat >"$dir/cups-files.conf" <<CONF
ServerRoot $dir
ServerBin /usr/lib/cups
DataDir /usr/share/cups
RequestRoot $dir/spool
TempDir $dir/tmp
CacheDir $dir/cache
StateDir $dir/state
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/printcap
FileDevice Yes
User $user
Group $group
Sandboxing Relaxed
CONF
  chown -R "$user:$group" "$dir"/{spool,tmp,cache,state,log} 2>/dev/null
  /usr/sbin/cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 &
  CUPSD_PID=$!
  export CUPS_SERVER=$dir/cups.sock
  local i
  for ((i = 0; i < 100; i++)); do
    [[ -S $dir/cups.sock ]] && lpstat -r >/dev/null 2>&1 && return 0
    kill -0 "$CUPSD_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "cupsd did not start: $(cat "$dir/log/cupsd.out" "$dir/log/error_log" 2>/dev/null | tail -5)" >&2
  return 1
}

# A printer whose device is a file: what the job's filter passes on (the
# PDF, unchanged through gziptoany) lands in FILE.
cupsd_add_file_printer() {
  local name=$1 file=$2 ppd=$CUPSD_DIR/ppd/$1.ppd
  cat >"$ppd" <<'PPD'
*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "FILEPDF.PPD"
*Manufacturer: "Test"
*Product: "(File PDF)"
*ModelName: "File PDF"
*ShortNickName: "File PDF"
*NickName: "File PDF"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: False
*DefaultColorSpace: Gray
*FileSystem: False
*Throughput: "1"
*cupsFilter2: "application/pdf application/vnd.cups-pdf 0 gziptoany"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*PageSize Letter/US Letter: "<</PageSize[612 792]>>setpagedevice"
*PageSize Legal/US Legal: "<</PageSize[612 1008]>>setpagedevice"
*CloseUI: *PageSize
*DefaultImageableArea: A4
*ImageableArea A4/A4: "0 0 595 842"
*ImageableArea Letter/US Letter: "0 0 612 792"
*ImageableArea Legal/US Legal: "0 0 612 1008"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
*PaperDimension Letter/US Letter: "612 792"
*PaperDimension Legal/US Legal: "612 1008"
PPD
  : >"$file"
  chmod 0666 "$file"
  lpadmin -p "$name" -E -v "file://$file" -P "$ppd" 2> >(grep -v "drivers are deprecated" >&2)
}

cupsd_stop() {
  [[ -n $CUPSD_PID ]] || return 0
  kill "$CUPSD_PID" 2>/dev/null
  wait "$CUPSD_PID" 2>/dev/null
  CUPSD_PID=
}
