#!/usr/bin/perl
# Reads the fault table of scripts/mutants.sh and puts one fault into a tree.
#
#   mutants-table.pl list  TABLE            one line per fault: id, file, what (tab-separated)
#   mutants-table.pl apply TABLE ID ROOT    puts fault ID into ROOT/<file>; exit 3 when an
#                                           original text is not found exactly once (stale)
#   mutants-table.pl check TABLE ID ROOT    the same, without writing
use strict;
use warnings;

# A fault: id, file, what, and its changes, each a pair of texts [find, put].
sub read_table {
    my ($path) = @_;
    open(my $in, '<:raw', $path) or die "mutants: cannot read $path: $!\n";
    my (@faults, %seen, $fault, $last);
    my $finish = sub {
        return unless $fault;
        my $where = "$path:$fault->{line}";
        for my $key (qw(id file what)) {
            die "mutants: $where: fault without '$key'\n" unless defined $fault->{$key};
        }
        die "mutants: $where: fault without find and put\n" unless @{$fault->{changes}};
        for my $change (@{$fault->{changes}}) {
            die "mutants: $where: a find without its put\n" unless defined $change->[1];
            die "mutants: $where: a put that changes nothing\n" if $change->[0] eq $change->[1];
        }
        die "mutants: $where: id '$fault->{id}' used twice\n" if $seen{$fault->{id}}++;
        push @faults, $fault;
        undef $fault;
        undef $last;
    };
    while (my $line = <$in>) {
        chomp $line;
        next if $line =~ /^#/;
        if ($line =~ /^\s*$/) {
            $finish->();
            next;
        }
        # The key fills the first five columns; its text is the rest of the line as it stands,
        # so indentation counts. find and put take one line of code each, as many as needed.
        my ($key, $text) = $line =~ /^(id   |file |find |put  |what )(.*)$/ ? ($1, $2)
                         : $line =~ /^(id|file|find|put|what) *$/         ? ($1, '')
                         : die "mutants: $path:$.: not a key in columns 1-5 (id, file, find, "
                             . "put, what) and its text from column 6: $line\n";
        $key =~ s/ +$//;
        $text =~ s/\s+$//;
        $fault //= { line => $., changes => [] };
        my $changes = $fault->{changes};
        if ($key eq 'find') {
            # A find after a put starts the next change in the same file.
            push @$changes, [undef, undef] if !@$changes || $last eq 'put';
            $changes->[-1][0] = defined $changes->[-1][0] ? "$changes->[-1][0]\n$text" : $text;
        } elsif ($key eq 'put') {
            die "mutants: $path:$.: a put before its find\n" unless @$changes;
            $changes->[-1][1] = defined $changes->[-1][1] ? "$changes->[-1][1]\n$text" : $text;
        } elsif (defined $fault->{$key}) {
            die "mutants: $path:$.: '$key' given twice\n";
        } else {
            $fault->{$key} = $text;
        }
        $last = $key;
    }
    $finish->();
    return @faults;
}

sub occurrences {
    my ($text, $find) = @_;
    my ($count, $at) = (0, 0);
    while (($at = index($text, $find, $at)) >= 0) {
        ++$count;
        $at += length $find;
    }
    return $count;
}

my ($command, $table, $id, $root) = @ARGV;
die "usage: $0 list TABLE | apply|check TABLE ID ROOT\n" unless $command && $table;
my @faults = read_table($table);

if ($command eq 'list') {
    print join("\t", @{$_}{qw(id file what)}), "\n" for @faults;
    exit 0;
}
die "usage: $0 apply|check TABLE ID ROOT\n"
    unless ($command eq 'apply' || $command eq 'check') && defined $root;
my ($fault) = grep { $_->{id} eq $id } @faults or die "mutants: no fault '$id'\n";
my $path = "$root/$fault->{file}";
open(my $in, '<:raw', $path) or exit 3;    # the file itself is gone: stale too
my $text = do { local $/; <$in> };
close $in;
# Every original text is looked for in the file as it is, before any change is made.
for my $change (@{$fault->{changes}}) {
    my $count = occurrences($text, $change->[0]);
    next if $count == 1;
    print "found $count times: $change->[0]\n";
    exit 3;
}
exit 0 if $command eq 'check';
# Made from the end of the file back, so each change lands where its text was found.
my @at = sort { $b->[0] <=> $a->[0] } map { [index($text, $_->[0]), @$_] } @{$fault->{changes}};
for my $i (1 .. $#at) {
    die "mutants: the changes of '$id' overlap\n" if $at[$i][0] + length $at[$i][1] > $at[$i - 1][0];
}
substr($text, $_->[0], length $_->[1]) = $_->[2] for @at;
open(my $out, '>:raw', $path) or die "mutants: cannot write $path: $!\n";
print $out $text;
close $out or die "mutants: cannot write $path: $!\n";
