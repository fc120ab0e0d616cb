#include "support/FakeAdministrator.h"

#include "platform/ToolRunner.h"

#include <QFile>

namespace {

// Perl rather than sh: the script's AppleScript and shell quoting must be
// read back exactly, whatever the paths hold.
const char *const kScript = R"PERL(
use strict;
use warnings;
use File::Path qw(remove_tree);
my ($folder, $root) = (shift @ARGV, shift @ARGV);
sub slurp {
    my ($file) = @_;
    open(my $in, '<:raw', $file) or return '';
    local $/;
    my $content = <$in>;
    close $in;
    return defined $content ? $content : '';
}
my $script = defined $ARGV[1] ? $ARGV[1] : '';
open(my $record, '>>:raw', "$folder/scripts") or die;
print $record $script, "\0";
close $record;
if (slurp("$folder/mode") eq 'cancel') {
    print STDERR "execution error: User canceled. (-128)\n";
    exit 1;
}
my %keep = map { $_ => 1 } grep { length } split(/\0/, slurp("$folder/keep"));
$script =~ /\Ado shell script "((?:[^"\\]|\\.)*)" with prompt "(?:[^"\\]|\\.)*" with administrator privileges\z/s
    or exit 2;
my $command = $1;
$command =~ s/\\(.)/$1/gs;
$command =~ s{\A/bin/rm -rfv -- }{} or exit 2;
my @paths;
my $current = '';
while (length $command) {
    if ($command =~ s/\A'([^']*)'//) { $current .= $1; }
    elsif ($command =~ s/\A\\'//) { $current .= "'"; }
    elsif ($command =~ s/\A //) { push @paths, $current; $current = ''; }
    else { exit 2; }
}
push @paths, $current;
my $status = 0;
for my $path (@paths) {
    if (index($path, "$root/") != 0 || $path =~ m{/\.\.?(/|\z)} || $keep{$path}) {
        print STDERR "rm: cannot remove '$path': Operation not permitted\n";
        $status = 1;
        next;
    }
    # The administrator may write where the user may not.
    my $parent = $path =~ s{/[^/]*\z}{}r;
    chmod(0755, $parent) if -d $parent;
    if (-d $path && !-l $path) {
        remove_tree($path);
        print "removed directory '$path'\n";
    } elsif (-e $path || -l $path) {
        unlink($path);
        print "removed '$path'\n";
    }
}
exit $status;
)PERL";

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
}

}

FakeAdministrator::FakeAdministrator(FakeMac &mac, ToolRunner &runner)
    : m_folder(mac.createDir(QStringLiteral("/fake-tools/administrator")))
{
    const QString perl = mac.createFile(QStringLiteral("/fake-tools/administrator/osascript.pl"), kScript);
    const QString tool = mac.createScript(QStringLiteral("/fake-tools/administrator/osascript"),
                                          "exec /usr/bin/perl '" + perl.toUtf8() + "' '" + m_folder.toUtf8()
                                              + "' '" + mac.root().toUtf8() + "' \"$@\"\n");
    runner.setToolPath(QStringLiteral("/usr/bin/osascript"), tool);
}

void FakeAdministrator::setOutcome(Outcome outcome)
{
    writeFile(m_folder + QStringLiteral("/mode"), outcome == Outcome::Cancel ? "cancel" : "remove");
}

void FakeAdministrator::keep(const QStringList &paths)
{
    QByteArray content;
    for (const QString &path : paths)
        content += QFile::encodeName(path) + '\0';
    writeFile(m_folder + QStringLiteral("/keep"), content);
}

QList<AdminCommand::Parsed> FakeAdministrator::requests() const
{
    QFile file(m_folder + QStringLiteral("/scripts"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<AdminCommand::Parsed> requests;
    const QList<QByteArray> scripts = file.readAll().split('\0');
    for (qsizetype i = 0; i + 1 < scripts.size(); ++i) {
        const std::optional<AdminCommand::Parsed> parsed = AdminCommand::parse(QString::fromUtf8(scripts.at(i)));
        // An unreadable script still counts as a request.
        requests.append(parsed.value_or(AdminCommand::Parsed{}));
    }
    return requests;
}
